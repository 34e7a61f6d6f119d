#pragma once
// The C interface of the inference engine library (libquorbbde.so). Texts returned through
// char** are UTF-8, allocated by the library, and released by the caller with Free_text.

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define QUORB_API __attribute__((visibility("default")))
#else
#define QUORB_API
#endif

QUORB_API void Clean_table(void);
QUORB_API int Init_base(int task, int goal, int mode);
QUORB_API void Dial(char **stepText, char **secondText, int sitting, int valueId, int trust,
                    int *nextFact, double number, int mode);
QUORB_API int BackStep(int *sitting, char **stepText);
QUORB_API void Explain(char **text, const char *stepText);
QUORB_API void Relations(char **text, int code, int mode);
QUORB_API void Free_text(char *text);

#ifdef __cplusplus
}
#endif
