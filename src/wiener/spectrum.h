#pragma once
// The Wiener (noise power) spectrum of a uniform-noise ROI, without any
// user-interface code: the least-squares trend fit, the radix-2 FFT, the run
// over strips and segments on fixed-capacity arrays, the smoothing and the
// text of the spectrum tables, and the pure geometry of the two drawings.
//
// The ROI is cut across the analysis direction into strips of M lines; each
// strip is detrended and averaged into one profile; the profile is cut into
// segments of N samples; every segment is transformed and its squared
// magnitude, scaled to (pixel value)^2 * mm^2, is averaged over all segments.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarven {

inline constexpr int wsCapacity = 1025; // entries of every working array
inline constexpr int wsMaxLength = 1024; // longest ROI side, segment and strip width
inline constexpr int wsMaxOrder = 16;   // the power-sum table holds exponents 0 .. 32

// The window's working storage, allocated once for the life of the window.
// A run allocates nothing; arrays keep the last run's content.
struct WsState {
    WsState();

    // stripData[i][k]: position i along the analysis direction, line k of the strip.
    std::vector<double> stripData; // wsCapacity * wsCapacity
    double& strip(std::int64_t i, std::int64_t k) { return stripData[static_cast<std::size_t>(i * wsCapacity + k)]; }

    std::array<double, wsCapacity> lineProfile{};
    std::array<double, wsCapacity> fftRe{};
    std::array<double, wsCapacity> fftIm{};
    std::array<double, wsCapacity> wsSpectrum{};
    std::array<double, wsCapacity> fitX{};
    std::array<double, wsCapacity> fitY{};
    std::array<double, wsCapacity> fitCoef{};

    std::int32_t specLength = 0; // segment length N of the last run: valid wsSpectrum entries
    std::int32_t dataLength = 0; // length handed to the transform and to the profile drawing
};

// Least-squares polynomial of degree order through (x[i], y[i]), i < count,
// by the normal equations solved by Gauss-Jordan elimination without
// pivoting; coefficients, constant term first, into coef[0 .. order]. An
// order below 0 leaves coef untouched (the fitted value is then 0). A zero
// pivot is a floating-point division by zero. Orders above 16 and counts
// beyond the spans are refused with an Error.
void wsLsm(int order, int count, std::span<const double> x, std::span<const double> y, std::span<double> coef);
// Sum over j <= order of coef[j] * x^j, with x^0 = 1 also for x = 0.
double wsFitted(std::span<const double> coef, int order, double x);

bool wsIsPowerOfTwo(std::int64_t n);

// Forward DFT of re/im[0 .. n-1] in place, not normalised: radix 2,
// decimation in frequency, the angle step 6.283184 / n accumulated in double
// precision, bit-reversal reordering at the end. n = 1 leaves the data as
// they are. n must be a power of two from 1 to 1024 within both spans: other
// lengths give no Fourier transform with this algorithm and are refused with
// an Error before anything is touched.
void wsFft(std::span<double> re, std::span<double> im, int n);

// One run's parameters, already in the terms of the analysis direction.
struct WsParams {
    bool directionY = false; // false: along image rows (item "X"), true: along columns
    int length = 0;          // L: ROI length along the analysis direction
    int extent = 0;          // W: ROI extent across it
    int segment = 0;         // N: segment length along
    int lines = 0;           // M: lines per strip
    int stepAlong = 0;       // shift between segments
    int stepAcross = 0;      // shift between strips
    int maxSegments = 0;     // the run stops when this many segments are taken
    double delta = 0;        // pixel size in mm that scales the spectrum
    bool trend = false;      // per-line trend removal ("Trnd")
    int trendOrder = 0;
    bool trendAverage = false; // trend removal of the averaged profile ("Trnd1")
    int trendAverageOrder = 0;
};

// Where the pixel values come from: 16-bit words of the loaded bytes, from the
// ROI's top-left pixel, rows `columns` pixels apart.
struct WsSource {
    std::span<const std::uint8_t> bytes;
    std::int64_t header = 0;
    std::int64_t columns = 0; // pixels per image row
    std::int64_t left = 0;    // ROI origin in image pixels
    std::int64_t top = 0;
    bool swap = false;
    std::int32_t intercept = 0;
    std::int64_t width = 0;   // ROI size in image pixels (this window's fields)
    std::int64_t height = 0;
};

// The WS pixel value of ROI column c, row r: the word at
// header + 2 * ((top + r) * columns + left + c), bytes exchanged when swap is
// on, plus the intercept modulo 2^16, read as signed. Pixels outside the
// bytes are an Error (wsCheckSource refuses such a ROI beforehand).
double wsPixel(const WsSource& src, std::int64_t c, std::int64_t r);

// Refusals, before any work: an empty text when the parameters can work,
// otherwise the message that says why not.
//  - ROI sides from 1 to 1024 (the arrays hold 1024 samples along and 1024 lines across);
//  - N a power of two from 1 to 1024, M from 1 to 1024;
//  - both shifts at least 1: a shift of 0 repeats a segment or a strip to the
//    segment limit, or without end when a strip yields no segment;
//  - trend orders at most 16 and below L (fewer samples than coefficients
//    leave the normal equations singular); an order below 0 removes nothing.
// A run that takes no segment (N > L, M > W, maxSegments <= 0) or whose
// extent W is below 2 still fails the way the run always has, with the
// framework's division errors.
std::string wsCheckParams(const WsParams& p);
// The whole ROI must lie inside the image: columns left .. left + width - 1
// within the row (a ROI past the right edge would wrap into the next row) and
// every byte of its pixels inside the loaded bytes. The run refuses anything
// else rather than clipping, so a spectrum always comes from the ROI the user
// placed.
std::string wsCheckSource(const WsSource& src);

struct WsHooks {
    std::function<void(int)> stripStarted; // called with N at every strip
    std::function<void()> drawProfile;     // profile of the strip in fftRe[0 .. dataLength-1]
};

// The run: fills state.wsSpectrum[0 .. N-1] and returns the number of
// segments taken. Refuses (Error) what wsCheckParams or wsCheckSource refuse.
// No segment: floating-point division by zero after the loops. W below 2:
// integer division by zero at the first strip.
int wsRun(WsState& state, const WsParams& p, const WsSource& src, const WsHooks& hooks = {});

// ---- tables ----
// "c/mm<TAB>name"
std::string wsTableHeader(std::string_view fileName);
// Lines k = 1 .. n-1: frequency k / (n * p) and ws[k]; every line ends in CR LF.
std::string wsResultRows(std::span<const double> ws, int n, double p);
// The smoothed value of line k (see wsSmoothRows).
double wsSmoothed(std::span<const double> ws, int n, int k);
// Lines 1 .. 3 always, lines 4 .. n-1 when n >= 5: frequency and smoothed value.
//  1: 0.7 ws[1] + 0.3 ws[2]; 2: mean of ws[1..4]; 3: mean of ws[1..6];
//  k >= 4: mean of ws[k-3 .. k+4] while k <= n div 2 - 3, ws[k] above.
std::string wsSmoothRows(std::span<const double> ws, int n, double p);
// Chart points j = 1 .. n div 2: (j / (n * p), ws[j]).
std::vector<std::pair<double, double>> wsChartPoints(std::span<const double> ws, int n, double p);

// ---- drawings ----
using WsPolyline = std::vector<std::pair<int, int>>;
// Profile point i at x = rnd(width * (i + 0.5) / n),
// y = rnd(height - (v[i] - low) * height / (high - low)).
WsPolyline wsProfilePolyline(std::span<const double> v, int n, int width, int height, double low, double high);
// log10 of ws[1 .. count-1]; a value of 0 or less is an invalid floating-point operation.
std::vector<double> wsLogSpectrum(std::span<const double> ws, int count);
// Spectrum point k (logs[k-1]) at x = rnd(2 k / n * width): every run on one
// frequency scale, 0 to the Nyquist frequency of its own segment length
// across the width, so overlays of different segment lengths line up in
// cycles per pixel; y = rnd(height - (0.8 height (L - low) / (high - low) + height / 10)).
WsPolyline wsSpectrumPolyline(std::span<const double> logs, int n, int width, int height, double low, double high);

} // namespace tarven
