// The print library's PrintOneCustomXml, bound by name from libVostrin.so in the program folder
// at its first call and kept loaded.
#pragma once

#include <QString>
#include <functional>

#include "Vostrin.h"

// The type of the library's function, as its own header declares it.
using PrintOneCustomXmlFn = decltype(&PrintOneCustomXml);

// Calls PrintOneCustomXml with the data file, an empty INI path, the template, three zeroed
// counts, an empty printer name (the default printer) and the reserved byte 'T'. Paths go to the
// library in the file system's encoding. Throws std::runtime_error with a description when the
// library or its function cannot be found.
int CallPrintOneCustomXml(const QString& dataFile, const QString& templateFile);

// Tests replace the library function (nullptr restores loading by name).
void SetPrintOneCustomXmlForTest(PrintOneCustomXmlFn fn);
