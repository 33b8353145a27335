// A word-processor document printed as a job of its own ("worddoc" elements): the ".doc" file
// named by the element's text content goes to LibreOffice, run headless with an argument list,
// which prints it on its own current printer. Nothing is printed when LibreOffice is not
// installed.
#pragma once

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TWordDoc : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Prints the document and waits for the office program to finish. Always false: the page
    // is not ended after it.
    bool Print(TCanvas* canvas) override;
};

}  // namespace TVostrin
