#pragma once
// The running scene and everything that speaks of it: the scene built from the document's table, the
// document being edited (and its file), the selected object, the frame's state and the clock the frame
// keeps time by. The window, the editor and the measure tools each hold the session, never each other;
// they hear through plain callbacks when a scene starts, a step or a frame is done, or the selection moves.

#include "frame/frame.h"
#include "frame/picture_rest.h"
#include "frame/selection.h"
#include "scene/obj_loader.h"
#include "scene/scene.h"
#include "scene/scene_document.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class TSceneSession {
 public:
  // How a scene came to run: from its file, or rebuilt from the document's table (an edit, a new scene, a
  // restart from unsaved edits).
  enum class TStart { Opened, Rebuilt };
  using TStartListener = std::function<void(TStart)>;
  using TListener = std::function<void()>;
  // Runs `load` (stopping what must not run meanwhile, such as the frame timer, and restarting it after).
  using TLoadWrapper = std::function<void(const std::function<void()>& load)>;

  // `pastaCenas` is where a scene not yet saved finds its models; `avisos` hears the model loader's
  // notices; `relogio` is the monotonic clock the frame and the rate meter read.
  TSceneSession(std::filesystem::path pastaCenas, TModelNotice avisos, IClock& relogio = SteadyClock());
  TSceneSession(const TSceneSession&) = delete;
  TSceneSession& operator=(const TSceneSession&) = delete;

  // The running scene; null once the session is closed.
  TScene* CurrentScene() { return scene_.get(); }
  const TScene* CurrentScene() const { return scene_.get(); }
  TSceneDocument& Document() { return doc_; }
  const TSceneDocument& Document() const { return doc_; }
  TSelection& Selection() { return selection_; }
  const TSelection& Selection() const { return selection_; }
  TFrameState& FrameState() { return state_; }
  const TFrameState& FrameState() const { return state_; }
  TSimulationControl& Control() { return state_.Control; }
  IClock& Clock() const { return clock_; }

  // The scene's file (empty for a scene never saved).
  const std::filesystem::path& Path() const { return doc_.Path(); }
  // The name the running scene is loaded under: its file, or "Nova cena" in the scenes folder.
  std::filesystem::path LoadName() const;
  // A scene has run since the session began (the empty start-up world does not count).
  bool Started() const { return started_; }
  long FramesRun() const { return frames_; }

  // Loads a scene file: it runs from its start state and becomes the document. Throws (the running scene
  // and the document kept) when the file cannot be loaded.
  void Open(const std::filesystem::path& arquivo);
  // The running scene rebuilt from `tabela` (and sharing it), under LoadName(). Throws ESceneError, the scene
  // kept, when the loader refuses the table. The document's edits reach the world through here.
  void Rebuild(const TSceneDocument::TTable& tabela);
  // The scene again from its start: from unsaved edits when there are any (or no file), else from its file.
  // False, with nothing done, when no scene has run yet.
  bool Reload();
  // "Nova cena": an empty scene and an empty document.
  void NewScene();

  // One tick of the frame on the running scene (nothing without one); each step is told to the step
  // listeners. The window calls FrameDone() once the picture is presented.
  void Frame(TFrameDrawing& desenho, TCamera& camera, TQuillonSetting& ajustes, const TRemoteReading& remoto,
             TGrabStep agarrar, TWorldNotice aviso);
  void FrameDone();
  // A tick that leaves the picture on the panel as it is, when it would come out the same (a paused, still
  // world; see TPictureRest): the frame runs without drawing, so the clock and the pointer go on. False,
  // with nothing run, when this tick must be drawn. The window draws a tick that does not rest with
  // Frame() and then calls PictureDrawn().
  bool RestingFrame(TCamera& camera, TQuillonSetting& ajustes, const TRemoteReading& remoto,
                    TGrabStep agarrar, TWorldNotice aviso);
  // The picture just presented shows the session as it is now, seen through `camera`.
  void PictureDrawn(const TCamera& camera);
  // Drops every trail and the pointer's path; they grow again from the next frame.
  void ClearTrails();
  // The window closes: the scene and its world go.
  void Close() { scene_.reset(); }

  void SetLoadWrapper(TLoadWrapper wrapper) { wrapper_ = std::move(wrapper); }
  void OnSceneStarted(TStartListener l) { started_listeners_.push_back(std::move(l)); }
  void OnStepDone(TListener l) { step_listeners_.push_back(std::move(l)); }
  void OnFrameDone(TListener l) { frame_listeners_.push_back(std::move(l)); }
  void OnSelectionChanged(TSelection::TListener l) { selection_.Subscribe(std::move(l)); }

 private:
  void Load(const std::function<void()>& load);
  void Started(TStart como);

  std::filesystem::path scenesFolder_;
  TModelNotice notices_;
  IClock& clock_;
  std::unique_ptr<TScene> scene_;
  TSceneDocument doc_;
  TSelection selection_;
  TFrameState state_;
  TPictureRest rest_;
  bool started_ = false;
  long frames_ = 0;
  TLoadWrapper wrapper_;
  std::vector<TStartListener> started_listeners_;
  std::vector<TListener> step_listeners_, frame_listeners_;
};
