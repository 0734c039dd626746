#include "data/Smooth.h"

namespace {

// The window is kept as a running sum instead of being summed again at every step: leaving the
// window subtracts a value, entering it adds one, and the value replaced by its average is
// exchanged in the sum. Unsigned arithmetic wraps exactly as the instrument's 32-bit sum, in any
// order of additions.
template <typename At>
class Lane {
public:
    explicit Lane(At at) : m_at(at) {}
    void Start(int w)
    {
        for (int k = 0; k < w; ++k) {
            m_sum += static_cast<uint32_t>(m_at(k));
        }
    }
    template <typename Divide>
    void Replace(int m, Divide divide)
    {
        const int32_t average = divide(static_cast<int32_t>(m_sum));
        m_sum += static_cast<uint32_t>(average) - static_cast<uint32_t>(m_at(m));
        m_at(m) = average;
    }
    void Slide(int leaving, int entering)
    {
        m_sum += static_cast<uint32_t>(m_at(entering)) - static_cast<uint32_t>(m_at(leaving));
    }

private:
    At m_at;
    uint32_t m_sum = 0;
};

// Where a lane's values are: an array, or one field of every sample record.
struct ArrayAt {
    int32_t* values;
    int32_t& operator()(int i) const { return values[i]; }
};
template <int32_t SampleRecord::*Field>
struct FieldAt {
    SampleRecord* records;
    int32_t& operator()(int i) const { return records[i].*Field; }
};

// Several arrays are filtered side by side because each step waits for the previous average;
// independent arrays fill that wait.
template <typename Divide, typename... Lanes>
void RunningFilter(int n, int w, Divide divide, Lanes... lanes)
{
    if (w < 1) {
        return;
    }
    const int h = w / 2;
    const int b = (w % 2 == 1) ? h : h - 1;
    if (b >= n - h) {
        return;
    }
    (lanes.Start(w), ...);
    const int last = n - h - 1;
    for (int m = b;; ++m) {
        (lanes.Replace(m, divide), ...);
        if (m == last) {
            break;
        }
        (lanes.Slide(m - b, m + h + 1), ...);
    }
}

// The usual windows get a division by a constant, which the compiler turns into a multiplication.
template <typename... Lanes>
void Filter(int n, int w, Lanes... lanes)
{
    switch (w) {
    case 1: return;  // every value is its own average
    case 2: return RunningFilter(n, 2, [](int32_t s) { return s / 2; }, lanes...);
    case 3: return RunningFilter(n, 3, [](int32_t s) { return s / 3; }, lanes...);
    case 4: return RunningFilter(n, 4, [](int32_t s) { return s / 4; }, lanes...);
    case 5: return RunningFilter(n, 5, [](int32_t s) { return s / 5; }, lanes...);
    case 6: return RunningFilter(n, 6, [](int32_t s) { return s / 6; }, lanes...);
    case 7: return RunningFilter(n, 7, [](int32_t s) { return s / 7; }, lanes...);
    case 8: return RunningFilter(n, 8, [](int32_t s) { return s / 8; }, lanes...);
    case 9: return RunningFilter(n, 9, [](int32_t s) { return s / 9; }, lanes...);
    case 10: return RunningFilter(n, 10, [](int32_t s) { return s / 10; }, lanes...);
    default: return RunningFilter(n, w, [w](int32_t s) { return s / w; }, lanes...);
    }
}

}  // namespace

void Smooth(int32_t* values, int n, int w)
{
    if (values != nullptr) {
        Filter(n, w, Lane(ArrayAt{values}));
    }
}

void SmoothRecords(SampleRecord* records, int n, int w)
{
    if (records != nullptr) {
        Filter(n, w, Lane(FieldAt<&SampleRecord::x>{records}), Lane(FieldAt<&SampleRecord::y>{records}),
               Lane(FieldAt<&SampleRecord::z>{records}));
    }
}

void SetDifferences(SampleRecord* records, int n)
{
    for (int i = 0; i < n; ++i) {
        SampleRecord& r = records[i];
        if (i == 0) {
            r.dx = r.dy = r.dz = 0;
        } else {
            r.dx = WrappingDifference(r.x, records[i - 1].x);
            r.dy = WrappingDifference(r.y, records[i - 1].y);
            r.dz = WrappingDifference(r.z, records[i - 1].z);
        }
    }
}
