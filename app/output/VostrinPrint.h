// The print library's PrintOneCustomXml, bound by name from libVostrin.so in the program folder
// at its first call and kept loaded.
#pragma once

#include <QString>
#include <functional>

#include "Vostrin.h"

namespace tw::output {

// The type of the library's function, as its own header declares it.
using PrintOneCustomXmlFn = decltype(&PrintOneCustomXml);

// Calls PrintOneCustomXml with the data file, an empty INI path, the template, three zeroed
// counts, an empty printer name (the default printer) and the reserved byte 'T'. Paths go to the
// library in the file system's encoding. True with the library's status in *status; false, with
// a description in *error, when the library or its function cannot be found.
bool CallPrintOneCustomXml(const QString& dataFile, const QString& templateFile, int* status,
                           QString* error);

// Tests replace the library function (nullptr restores loading by name).
void SetPrintOneCustomXmlForTest(PrintOneCustomXmlFn fn);

}  // namespace tw::output
