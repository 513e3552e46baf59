// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The design core, in one picture:
//
//   input boxes --parseLeadingNumber--> DesignState (feet, inches, MHz)
//   DesignState + antenna gauge --computeLoadingCoil--> inductance (uH)
//   DesignState + coil gauge --computeCoilWinding--> turns, revised coil length
//
// Everything here is plain C++ with no toolkit: state in, state out, faults as values.

namespace brevan {

// The one record that every handler of the window shares. Fields keep their last value until
// their writer runs again; an unwritten field reads 0. Lengths of the antenna are in feet, wire
// and coil dimensions in inches. The two limits are single precision on purpose: the range
// checks compare against them at that precision.
struct DesignState {
    double fullOuterLength = 0.0; // ft; step 2 reuses it as its pass counter
    double outerLength = 0.0;     // ft
    double inductanceScale = 0.0; // uH*ft
    double fullLogTerm = 0.0;     // 1/ft
    double fullShapeTerm = 0.0;
    double outerLogTerm = 0.0; // 1/ft
    double outerShapeTerm = 0.0;
    double freqMHz = 0.0;
    double lengthA = 0.0;    // ft
    float maxLengthA = 0.0F; // ft, whole number
    double distB = 0.0;      // ft
    float maxDistB = 0.0F;   // ft, whole number
    double wireDia = 0.0;    // inch
    double wireSWG = 0.0;
    double coilWireSWG = 0.0;
    double inductance = 0.0;    // uH, full precision
    double coilRadius = 0.0;    // inch
    double coilLength = 0.0;    // inch
    double formerDia = 0.0;     // inch
    double coilWireDia = 0.0;   // inch
    double windingLength = 0.0; // inch
    double turns = 0.0;
};

} // namespace brevan
