#include "SubbandUnit.h"

#include "tables/PowerTables.h"

namespace audiocore {

float ScaleFactor(unsigned index) {
    return kLayer12ScaleFactors[index & 63u];
}

} // namespace audiocore
