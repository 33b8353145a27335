// Class slot limits: the week grid of one class at a time (Limittb.Kind 0).
#pragma once

#include "frmLimitInput.h"

using frmClassLimitInput = tw::data::LimitForm<tw::store::LimitKind::Class>;
