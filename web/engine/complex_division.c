// SPDX-License-Identifier: GPL-3.0-or-later
// Complex division for the WebAssembly engine by Smith's method, the method Debian's native
// nec2c gets from GCC's runtime. Emscripten's own runtime divides by scaling with logb and
// multiplying by the conjugate instead, which rounds differently in the last bit; nec2c divides
// complex numbers throughout (ground reflection, the radiation pattern), and near the horizon
// over ground those last bits show in the printed digits. Linked before the runtime, this one
// replaces it.
//
// R. L. Smith, "Algorithm 116: Complex division", Comm. ACM 5(8), 1962; with the variant for a
// ratio too small to be a normal number from M. Baudin and R. L. Smith, "A robust complex
// division in Scilab", 2012; and the recovery of infinities and zeros computed as NaN from the
// C standard's annex on complex arithmetic (G.5.1).

#include <complex.h>
#include <float.h>
#include <math.h>
#include <string.h>

double _Complex __divdc3(double a, double b, double c, double d);

// x + iy, infinities and NaNs kept apart: C lays a complex number out as its two parts.
static double _Complex complexOf(double x, double y) {
    const double parts[2] = {x, y};
    double _Complex z;
    memcpy(&z, parts, sizeof z);
    return z;
}

// Smith's quotient (a + ib) / (c + id) for |c| < |d|; the other case swaps the roles of c and d.
static double _Complex smith(double a, double b, double c, double d) {
    // Halving all four is exact and keeps c * ratio + d from overflowing.
    if (fabs(d) >= DBL_MAX / 2) {
        a /= 2;
        b /= 2;
        c /= 2;
        d /= 2;
    }
    const double ratio = c / d;
    const double denominator = c * ratio + d;
    double x;
    double y;
    if (fabs(ratio) > DBL_MIN) {
        x = (a * ratio + b) / denominator;
        y = (b * ratio - a) / denominator;
    } else {
        x = (c * (a / d) + b) / denominator;
        y = (c * (b / d) - a) / denominator;
    }
    return complexOf(x, y);
}

// NaN + iNaN from a division that has a meaningful infinite or zero result.
static double _Complex recovered(double a, double b, double c, double d) {
    if (c == 0.0 && d == 0.0 && (!isnan(a) || !isnan(b))) {
        return complexOf(copysign(INFINITY, c) * a, copysign(INFINITY, c) * b);
    }
    if ((isinf(a) || isinf(b)) && isfinite(c) && isfinite(d)) {
        a = copysign(isinf(a) ? 1.0 : 0.0, a);
        b = copysign(isinf(b) ? 1.0 : 0.0, b);
        return complexOf(INFINITY * (a * c + b * d), INFINITY * (b * c - a * d));
    }
    if ((isinf(c) || isinf(d)) && isfinite(a) && isfinite(b)) {
        c = copysign(isinf(c) ? 1.0 : 0.0, c);
        d = copysign(isinf(d) ? 1.0 : 0.0, d);
        return complexOf(0.0 * (a * c + b * d), 0.0 * (b * c - a * d));
    }
    return complexOf(NAN, NAN);
}

double _Complex __divdc3(double a, double b, double c, double d) {
    double _Complex z;
    if (fabs(c) < fabs(d)) {
        z = smith(a, b, c, d);
    } else {
        // (a + ib) / (c + id) = (b - ia) / (d - ic): Smith's form with the roles swapped, which
        // only negates exactly what the direct form for |c| >= |d| computes.
        z = smith(b, -a, d, -c);
    }
    if (isnan(creal(z)) && isnan(cimag(z))) {
        return recovered(a, b, c, d);
    }
    return z;
}
