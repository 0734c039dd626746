#include "data/Smooth.h"

void Smooth(int32_t* values, int n, int w)
{
    if (w < 1 || values == nullptr) {
        return;
    }
    const int h = w / 2;
    const int b = (w % 2 == 1) ? h : h - 1;
    if (b >= n - h) {
        return;
    }
    for (int m = b; m <= n - h - 1; ++m) {
        // 32-bit sum as the instrument computes it; wrap-around is made explicit to stay defined.
        uint32_t s = 0;
        for (int k = m - b; k <= m + h; ++k) {
            s += static_cast<uint32_t>(values[k]);
        }
        values[m] = static_cast<int32_t>(s) / w;
    }
}
