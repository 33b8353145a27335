// The two C functions that libCalvorix.so exports. Texts are zero-terminated GBK bytes; the
// result buffer belongs to the caller and holds CALVORIX_RESULT_SIZE bytes. Every failure shows as
// the result text "###"; both functions always return 0.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define CALVORIX_RESULT_SIZE 2048

// Writes the distinct variable names of the expression, in the order of their first appearance,
// joined by ",". The empty text when there are none, when the expression does not parse, or when
// the list would not fit the result buffer.
typedef int (*MyGetVariantTableFn)(const char* expression, char* result);

// Writes the value of the expression. `values` holds one value per listed variable, in the same
// order, separated by the byte 0x05; extra values are ignored, fewer values give "###".
typedef int (*MyParserFn)(const char* expression, const char* values, char* result);

__attribute__((visibility("default"))) int MyGetVariantTable(const char* expression, char* result);
__attribute__((visibility("default"))) int MyParser(const char* expression, const char* values,
                                                    char* result);

#ifdef __cplusplus
}
#endif
