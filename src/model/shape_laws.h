#pragma once
// Planform edge laws. An edge runs from the root (eta = 0) to the tip (eta = 1);
// f(eta) is how far along its way from the root position to the tip position
// the edge lies, g = 1 - f. Curved edges meet the tip parallel to the flight
// direction.

#include "model/design_data.h"

namespace skarvel::model {

double EdgeF(EdgeShape shape, double eta);
double EdgeG(EdgeShape shape, double eta);

// Integral of g over 0..1.
double EdgeK(EdgeShape shape);
// Area-moment constant of a leading-edge strip (a) and of a trailing-edge strip (K).
double EdgeA(EdgeShape shape);
double EdgeBigK(EdgeShape shape);
// Spanwise centroid of a strip, as a fraction of the half-span.
double EdgeM(EdgeShape shape);

// Antiderivatives of f, f^2 and eta*f (exact), for integrals over part of the span.
double EdgeIntF(EdgeShape shape, double eta);
double EdgeIntF2(EdgeShape shape, double eta);
double EdgeIntEtaF(EdgeShape shape, double eta);

} // namespace skarvel::model
