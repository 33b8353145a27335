// The exceptions the printer unit raises and the fixed texts of its messages.
#pragma once

#include <QString>
#include <stdexcept>
#include <string>

namespace Zprinters {

// The library's plain exception: a message and nothing else.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

  private:
    QString message_;
};

// A value does not fit the field it is stored in (a 16-bit device setting).
class ERangeError : public Exception {
  public:
    using Exception::Exception;
};

// A list was indexed outside its bounds.
class EListError : public Exception {
  public:
    using Exception::Exception;
};

// An internal precondition failed (for example a device without a name).
class EAssertionFailed : public Exception {
  public:
    using Exception::Exception;
};

// Failure texts, in this order; %s stands for the offending name.
extern const QString sNoSuchDevice;
extern const QString sNoDevices;
extern const QString sNoDefaultDevice;
extern const QString sInvalidDevice;
extern const QString sNotPrinting;
extern const QString sPrinting;
extern const QString sInvalidOperation;
extern const QString sInvalidBin;
extern const QString sInvalidPaper;
extern const QString sInvalidResolution;
extern const QString sInvalidOrientation;
extern const QString sInvalidCopies;

// Display texts.
extern const QString sDpi;
extern const QString sDpiSq;
extern const QString sDevice;
extern const QString sPaper;
extern const QString sPortrait;
extern const QString sLandscape;

// Fills %s and %d of a pattern in order with the given texts and numbers (only these two
// conversions are used by the unit's texts; "%%" gives one percent sign).
QString FormatMsg(const QString& pattern, std::initializer_list<QString> texts);
QString FormatMsg(const QString& pattern, std::initializer_list<int> numbers);
QString FormatMsg(const QString& pattern, const QString& text, int a, int b);

}  // namespace Zprinters
