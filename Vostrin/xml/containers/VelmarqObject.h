// Root base class of the XML library's text and tree objects.
#pragma once

namespace velmarq {

// Every library object carries a serial number taken from one process-wide counter that starts
// at 100 and is never reset; serials are informational only.
class VelmarqObject {
  public:
    VelmarqObject() : serial_(nextSerial_++) {}
    virtual ~VelmarqObject() = default;
    VelmarqObject(const VelmarqObject&) = delete;
    VelmarqObject& operator=(const VelmarqObject&) = delete;

    int Serial() const { return serial_; }

  private:
    static int nextSerial_;
    int serial_;
};

}  // namespace velmarq
