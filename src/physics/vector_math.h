#pragma once
// Vectors and 4 x 4 matrices of the frame, the camera and the Wii Remote motion, and the engine's
// single-precision vector. Matrices are stored row by row and act on column vectors (translation in the
// last column); angles are degrees. No operation checks its input: degenerate input gives NaN or infinity.

#include <array>

struct TODEArray {
  float x = 0, y = 0, z = 0;
};

struct TVector {
  double x = 0, y = 0, z = 0;
  bool operator==(const TVector&) const = default;
};

using TMatrix4 = std::array<double, 16>;  // element (r, c) at index 4r + c
using TVector4 = std::array<double, 4>;

TODEArray NovoVetor(float x, float y, float z);

TVector SomaVet(const TVector& a, const TVector& b);
TVector SubVet(const TVector& a, const TVector& b);
TVector ProdVetorial(const TVector& a, const TVector& b);
double NormaVet(const TVector& a);
double Dot(const TVector& a, const TVector& b);  // the scalar product
TVector NormalizaVet(const TVector& a);          // a zero vector gives NaN components
TVector EscalaVet(const TVector& a, double s);

TMatrix4 Identidade();
TMatrix4 Translacao(const TVector& t);
TMatrix4 RotacaoEixo(const TVector& eixo,
                     double anguloGraus);                   // right-handed, about an axis through the origin
TMatrix4 MultMatriz(const TMatrix4& a, const TMatrix4& b);  // a x b: b acts first
TVector4 MultMatrizPonto(const TMatrix4& m, const TVector& p);  // m x (p, 1)
TMatrix4 Inversa4(const TMatrix4& m);                           // singular input gives infinities or NaN
TMatrix4 MatrizVista(const TVector& f0,
                     const TVector& up);  // rows: right, up, forward of a camera looking along f0
