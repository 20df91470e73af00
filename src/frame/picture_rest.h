#pragma once
// A paused world whose picture would come out as the last one did is not drawn again, so that a paused
// window rests the machine. The picture is told apart by a key over everything the frame draws from (the
// camera, the pointer, each object's place, turn, speed, marks and trail, the selection); what the key cannot
// see (a click, a key, an expose, a changed overlay) asks for a picture on the panel instead.

#include "frame/frame.h"
#include "render/camera.h"
#include "scene/scene.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// A fingerprint of what the frame would draw now; equal keys give the same picture.
std::uint64_t PictureKey(const TScene& cena, const TFrameState& estado, const TCamera& camera,
                         std::optional<std::size_t> selecionado);

class TPictureRest {
 public:
  // True when the coming tick may leave the picture as it is: the world is paused with no single step
  // waiting, the remote is not moving the pointer, and `chave` is the key of the last picture drawn.
  bool MayRest(const TFrameState& estado, const TRemoteReading& remoto, std::uint64_t chave) const;
  // A picture showing the state of `chave` has been presented.
  void Drawn(std::uint64_t chave) {
    drawn_ = chave;
    hasDrawn_ = true;
  }
  // What is on the panel says nothing of the scene now (another scene, another colour): draw again.
  void Forget() { hasDrawn_ = false; }

 private:
  std::uint64_t drawn_ = 0;
  bool hasDrawn_ = false;
};
