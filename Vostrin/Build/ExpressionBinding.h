// The binding to libCalvorix.so, the expression library, for the length of one build, and the
// evaluation of field expressions over data records.
#pragma once

#include <string>

#include "TXml.h"
#include "Vostrin.h"  // the status codes

namespace TVostrin {

// Loads libCalvorix.so from the folder of libVostrin.so and resolves MyGetVariantTable and
// MyParser. 0, -1100 when the library cannot be loaded, -1101 when an export is missing (the
// library is then released again). A binding already in place is released first.
int BindExpressionLibrary();
// Releases the library; harmless when nothing is bound.
void ReleaseExpressionLibrary();
bool ExpressionLibraryBound();

// Folder searched for libCalvorix.so instead of this library's own folder; empty restores the
// default. Lets tests bind a library from a folder of their own.
void SetExpressionLibraryFolder(const std::string& folder);
// The folder that BindExpressionLibrary searches.
std::string ExpressionLibraryFolder();

// The variable names of the expression joined by ","; empty when unbound or there are none.
std::string ExpressionVariables(const std::string& expression);
// The expression's value over values (0x05-separated); "###" when nothing is bound.
std::string ParseExpression(const std::string& expression, const std::string& values);

// Looks up each variable of expression as the first node below start (start itself excluded,
// breadth-first) tagged with its name and joins their "value" attributes with 0x05 (a name
// without a node, or a NULL start, gives an empty value).
std::string CollectValues(const std::string& variables, const TXml* start);

// Evaluates expression over one data record: variables are looked up below the record.
// Always 0; the library's own failure text "###" is passed on unchanged.
int EvaluateExpression(const std::string& expression, const TXml* record, std::string* result);

}  // namespace TVostrin
