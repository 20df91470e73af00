#pragma once
// Vectors and 4 x 4 matrices of the frame, the camera and the Wii Remote motion, and the engine's
// single-precision vector. Matrices are stored row by row and act on column vectors (translation in the
// last column); angles are degrees. No operation checks its input: degenerate input gives NaN or infinity.

#include <array>

struct TODEArray {
  float x = 0, y = 0, z = 0;
};

struct TVetor {
  double x = 0, y = 0, z = 0;
};

using TMatriz4 = std::array<double, 16>;  // element (r, c) at index 4r + c
using TVetor4 = std::array<double, 4>;

TODEArray NovoVetor(float x, float y, float z);

TVetor SomaVet(const TVetor& a, const TVetor& b);
TVetor SubVet(const TVetor& a, const TVetor& b);
TVetor ProdVetorial(const TVetor& a, const TVetor& b);
double NormaVet(const TVetor& a);
TVetor NormalizaVet(const TVetor& a);  // a zero vector gives NaN components
TVetor EscalaVet(const TVetor& a, double s);

TMatriz4 Identidade();
TMatriz4 Translacao(const TVetor& t);
TMatriz4 RotacaoEixo(const TVetor& eixo,
                     double anguloGraus);                   // right-handed, about an axis through the origin
TMatriz4 MultMatriz(const TMatriz4& a, const TMatriz4& b);  // a x b: b acts first
TVetor4 MultMatrizPonto(const TMatriz4& m, const TVetor& p);  // m x (p, 1)
TMatriz4 Inversa4(const TMatriz4& m);                         // singular input gives infinities or NaN
TMatriz4 MatrizVista(const TVetor& f0,
                     const TVetor& up);  // rows: right, up, forward of a camera looking along f0
