// The exceptions the printer unit raises and the fixed texts of its messages.
#pragma once

#include <QString>
#include <stdexcept>
#include <string>

#include "ZPrinters/ZExport.h"

namespace Zprinters {

// The library's plain exception: a message and nothing else.
class ZPRINTERS_API Exception : public std::runtime_error {
  public:
    explicit Exception(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

  private:
    QString message_;
};

// A value does not fit the field it is stored in (a 16-bit device setting).
class ZPRINTERS_API ERangeError : public Exception {
  public:
    using Exception::Exception;
};

// A list was indexed outside its bounds.
class ZPRINTERS_API EListError : public Exception {
  public:
    using Exception::Exception;
};

// An internal precondition failed (for example a device without a name).
class ZPRINTERS_API EAssertionFailed : public Exception {
  public:
    using Exception::Exception;
};

// Failure texts, in this order; %s stands for the offending name.
extern ZPRINTERS_API const QString sNoSuchDevice;
extern ZPRINTERS_API const QString sNoDevices;
extern ZPRINTERS_API const QString sNoDefaultDevice;
extern ZPRINTERS_API const QString sInvalidDevice;
extern ZPRINTERS_API const QString sNotPrinting;
extern ZPRINTERS_API const QString sPrinting;
extern ZPRINTERS_API const QString sInvalidOperation;
extern ZPRINTERS_API const QString sInvalidBin;
extern ZPRINTERS_API const QString sInvalidPaper;
extern ZPRINTERS_API const QString sInvalidResolution;
extern ZPRINTERS_API const QString sInvalidOrientation;
extern ZPRINTERS_API const QString sInvalidCopies;

// Display texts.
extern ZPRINTERS_API const QString sDpi;
extern ZPRINTERS_API const QString sDpiSq;
extern ZPRINTERS_API const QString sDevice;
extern ZPRINTERS_API const QString sPaper;
extern ZPRINTERS_API const QString sPortrait;
extern ZPRINTERS_API const QString sLandscape;

// Fills %s and %d of a pattern in order with the given texts and numbers (only these two
// conversions are used by the unit's texts; "%%" gives one percent sign).
QString FormatMsg(const QString& pattern, std::initializer_list<QString> texts);
QString FormatMsg(const QString& pattern, std::initializer_list<int> numbers);
QString FormatMsg(const QString& pattern, const QString& text, int a, int b);

}  // namespace Zprinters
