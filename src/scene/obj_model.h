#pragma once
// Wavefront OBJ/MTL model data: groups, faces, materials, bounds and the checks that keep every index
// inside its array.
// Arrays are 1-based as the file numbers them: entry 0 holds no item and stays zero.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct TVertex3f {
  float x = 0, y = 0, z = 0;
};

struct TTexCoord2f {
  float u = 0, v = 0;
};

struct TFace {
  int32_t Count = 0;                   // number of corners
  std::vector<int32_t> VertexIndex;    // 0-based corners holding the file's 1-based vertex numbers
  std::vector<int32_t> TexCoordIndex;  // present only for the v/t/n form
  std::vector<int32_t> NormalIndex;    // present for the v/t/n and v//n forms
};

struct TGroup {
  std::string Name;
  int32_t FaceCount = 0;
  std::vector<TFace> Faces;   // 1-based
  int32_t MaterialIndex = 0;  // 0 is the zero material
};

struct TMaterial {
  std::string Name;
  float Ambient[3] = {0, 0, 0};
  float Diffuse[3] = {0, 0, 0};
  float Specular[3] = {0, 0, 0};
  float Shininess = 0;  // a material made by NEWMTL starts at 60; the zero material stays 0
  uint32_t Texture = 0;
};

struct TModel {
  std::string Path;      // folder part of the name, separator included
  std::string FileName;  // the part after the last separator
  int32_t VertexCount = 0;
  int32_t NormalCount = 0;
  int32_t TexCoordCount = 0;
  int32_t GroupCount = 0;
  int32_t MaterialCount = 0;
  std::vector<TVertex3f> Vertices{1};
  std::vector<TVertex3f> Normals{1};
  std::vector<TTexCoord2f> TexCoords{1};
  std::vector<TGroup> Groups{1};
  std::vector<TMaterial> Materials{1};
  TVertex3f BoundsMin, BoundsCentre, BoundsMax;
  double MaxExtent = 0;
};

// A malformed number or face form; names the file and its 1-based line.
class EModelError : public std::runtime_error {
 public:
  EModelError(const std::string& arquivo, int linha, const std::string& detalhe);
  const std::string& Arquivo() const { return file_; }
  int Linha() const { return line_; }

 private:
  std::string file_;
  int line_;
};

// Sets BoundsMin, BoundsCentre, BoundsMax and MaxExtent from vertices 1..VertexCount.
void ComputeBounds(TModel& modelo);

// True when every corner of the face names an existing vertex. Texture and normal numbers do not count:
// a face with wrong ones still has a shape, for collision and drawing alike.
bool ValidFace(const TModel& modelo, const TFace& face);

// The normal the file gives a corner, or null when it gives none or one outside the normals.
const TVertex3f* CornerNormal(const TModel& modelo, const TFace& face, size_t canto);
