#include "VelmarqObject.h"

namespace velmarq {

namespace {
int g_nextSerial = 100;
}

VelmarqObject::VelmarqObject() : serial_(g_nextSerial++) {}

}  // namespace velmarq
