// Module state of Virelta_B that belongs to the platform routines.
#include "startup/virelta_b.h"

namespace virelta {

Long LastApiResult = 0;
Integer ZoomOriginX = 0;
Integer ZoomOriginY = 0;

}  // namespace virelta
