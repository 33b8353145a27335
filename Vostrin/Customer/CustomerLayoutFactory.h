// Chooses the customer file layout that an INI file asks for (key CustomerSepType of section
// TextFileFormat, 9999 when missing).
#pragma once

#include <memory>
#include <string>

#include "Customer/CBuildCustomerElement.h"

namespace TVostrin {

// Layout numbers of CustomerSepType.
constexpr int kLayoutReportPages = 0;
constexpr int kLayoutMailing = 1;
constexpr int kLayoutEnvelope = 2;
constexpr int kLayoutNumberedFields = 3;
constexpr int kLayoutConfigurable = 9999;

// The layout object for iniFile (never null; the caller owns it). Numbers without a layout of
// their own get the base class, which reads nothing.
std::unique_ptr<CBuildCustomerElement> CreateCustomerElement(const std::string& iniFile);

// The layout object for one CustomerSepType number (never null).
std::unique_ptr<CBuildCustomerElement> CreateCustomerElementOfType(int sepType);

}  // namespace TVostrin
