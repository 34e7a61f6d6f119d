#pragma once
// The C interface of the inference engine library (libquorbbde.so). Texts returned through
// char** are UTF-8, allocated by the library, and released by the caller with Free_text.
//
// The library reaches the knowledge base through the alias Kolbex with a connection of its
// own, opened on the first call and opened again when the alias has been pointed at another
// directory. It keeps no state of a sitting between calls: every Dial and BackStep replays
// the sitting's answers from `questions`, so a freshly loaded library continues any sitting.
//
// No call ever throws or crashes on a fault of the database (no knowledge base under the
// alias, a locked or broken file) or on an unknown sitting. Instead:
//   Clean_table  does nothing;
//   Init_base    returns 0;
//   Dial         sets *nextFact to 0 and returns "Ошибка машины вывода: " and the fault's
//                text as both the step text and the second text;
//   BackStep     returns 0 with that text as the step text;
//   Explain      returns that text.
// Explain returns a text that names no step as it stands, so an error text kept by the
// program as a step shows in the course of the consultation.
//
// Step texts look like "Сеанс 12, шаг 3": the account from the third answer of sitting 12 up
// to the next question. Dial returns an empty step text when the consultation is over and
// the goal has no value; Explain("") explains the start of the latest sitting.

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define QUORB_API __attribute__((visibility("default")))
#else
#define QUORB_API
#endif

// Clears the work rows (TNextver) that earlier sittings left.
QUORB_API void Clean_table(void);
// Starts a sitting of a task with its goal entity; returns the new SITTING_ID. mode: 1.
QUORB_API int Init_base(int task, int goal, int mode);
// Continues the sitting after the program has recorded an answer in `questions` (the answer
// arguments are not used: the table is the record). *nextFact: the entity to ask, 0 at the
// end. The second text is not for showing: at an end without a result it names the last
// step (for Explain), the step text being empty then; otherwise it says where the
// consultation stands.
QUORB_API void Dial(char **stepText, char **secondText, int sitting, int valueId, int trust,
                    int *nextFact, double number, int mode);
// Removes the sitting's last answer; returns the entity whose question comes again. The
// sitting identifier is left as it is.
QUORB_API int BackStep(int *sitting, char **stepText);
// A readable Russian account of one step.
QUORB_API void Explain(char **text, const char *stepText);
// The words of a relation code for the rules listing ("принимает", ...; "?" when unknown).
QUORB_API void Relations(char **text, int code, int mode);
QUORB_API void Free_text(char *text);

#ifdef __cplusplus
}
#endif
