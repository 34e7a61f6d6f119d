-- The sample knowledge base (filled in by its own change).
INSERT INTO TTOPIC (TOPIC_NAME, TOPIC_TEXT, TOPIC_KEY) VALUES ('Медицина', 'Пример', 1);
INSERT INTO TTASK (TASK_NAME, GOALFACT_ID, TRUSTLIMIT, DESCRIPTION, TOPIC_ID) VALUES ('Диагностика', 1, 50, '', 1);
