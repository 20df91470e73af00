#pragma once
// Reading Wavefront OBJ/MTL files into a TModel.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/obj_model.h"

// Receives the loader's notices (missing model or material file): text and caption.
using TModelNotice = std::function<void(const std::string& texto, const std::string& titulo)>;

// Reads the model named `nome` from disk. A missing file is reported through `aviso` and gives the empty
// model with Path and FileName set. Throws EModelError naming the file, the line and
// the expected form on malformed content, std::runtime_error on I/O
// errors.
TModel LoadModel(const std::string& nome, const TModelNotice& aviso);

// Reads a model from its text already in memory, line ends included (`nome` gives Path, FileName and the
// error messages; the material file is still read from disk).
TModel LoadModelFromText(const std::string& nome, std::string_view texto, const TModelNotice& aviso);

// Reads a model from lines already in memory (`nome` gives Path, FileName and the error messages;
// the material file is still read from disk).
TModel LoadModelFromLines(const std::string& nome, const std::vector<std::string>& linhas,
                          const TModelNotice& aviso);
