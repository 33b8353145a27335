#include "VelmarqObject.h"

namespace velmarq {

int VelmarqObject::nextSerial_ = 100;

}  // namespace velmarq
