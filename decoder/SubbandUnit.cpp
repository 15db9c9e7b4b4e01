#include "SubbandUnit.h"

#include <cmath>

namespace audiocore {

namespace {

struct ScaleFactorTable {
    float value[64];
    ScaleFactorTable() {
        for (int i = 0; i < 63; ++i)
            value[i] = static_cast<float>(std::exp2(1.0 - i / 3.0));
        value[63] = 0.0f;
    }
};
const ScaleFactorTable kScaleFactors;

} // namespace

float ScaleFactor(unsigned index) {
    return kScaleFactors.value[index & 63u];
}

} // namespace audiocore
