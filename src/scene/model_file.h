#pragma once
// Model files on disk: finding them whatever the letter case, resolving the names scene rows give, reading
// them, and joining continued lines. Reading never writes: a model file (or whatever file a shared scene
// names) stays byte for byte as it was.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The path itself when it exists; otherwise the path whose components each match a directory entry that
// differs only in ASCII letter case (the first such entry in name order); otherwise the path unchanged.
std::filesystem::path FindFile(const std::filesystem::path& caminho);

// Turns a model name from a scene cell into a path: backslashes count as separators; a relative name is
// taken from the scene file's folder `pastaCena` first, then from the current folder; an absolute name is
// kept, or, when no file is there, its file name beside the scene is tried. Then FindFile. Where nothing is
// found, the path in the scene's folder (or the absolute one) is returned, for the error to name.
std::filesystem::path ResolveModelName(const std::string& arquivo, const std::filesystem::path& pastaCena);

// How a scene saved in folder `para` names model `arquivo`, which its scene in folder `de` resolves: relative
// to `para` with "/" when the model sits there or below, so that the folder can be copied whole; absolute
// otherwise. A name that resolves to no file is kept as it is.
std::string StoredModelName(const std::string& arquivo, const std::filesystem::path& de,
                            const std::filesystem::path& para);

// All lines of a text file, without their line ends (trailing carriage returns removed). Throws
// std::runtime_error naming the file when it is missing, not a regular file, or cannot be read.
std::vector<std::string> ReadFileLines(const std::filesystem::path& arquivo);

// Walks a model's text one logical line at a time. Line ends ("\n", "\r\n") are not part of a line. A line
// that ends with a backslash (blanks after it allowed) goes on in the next one, as often as that repeats;
// a backslash anywhere else is text, and a comment line ("#" first) is never continued.
class TModelLines {
 public:
  explicit TModelLines(std::string_view texto) : text_(texto) {}
  // The next logical line, without its line end; false at the end of the text. The view lasts until the
  // next call.
  bool Next(std::string_view& linha);
  int Line() const { return firstLine_; }                // 1-based file line where the last line starts
  bool Joined() const { return joined_; }                // the last line was continued
  std::string_view LineEnd() const { return lineEnd_; }  // the line end after the last physical line

 private:
  bool NextPhysical(std::string_view& conteudo);

  std::string_view text_;
  size_t position_ = 0;
  int physicalLine_ = 0;
  int firstLine_ = 0;
  bool joined_ = false;
  std::string_view lineEnd_;
  std::string buffer_;
};

// The model file's bytes. Throws std::runtime_error naming the file when it is missing, not a regular file,
// or cannot be read.
std::string ReadModelText(const std::filesystem::path& modelo);
