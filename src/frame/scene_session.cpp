#include "frame/scene_session.h"

#include "scene/scene_loader.h"
#include "scene/simulation_step.h"

namespace fs = std::filesystem;

TSceneSession::TSceneSession(fs::path pastaCenas, TModelNotice avisos, IClock& relogio)
    : scenesFolder_(std::move(pastaCenas)),
      notices_(std::move(avisos)),
      clock_(relogio),
      scene_(std::make_unique<TScene>(true)) {
  // Every edit of the document is tried on the world first: a table the loader refuses never becomes the
  // document's.
  doc_.SetStage([this](const TSceneDocument::TTable& t) { Rebuild(t); });
  // Saved elsewhere, its model names now say where the models are from the new file: the scene reads the
  // document's table, as it did before.
  doc_.OnTableReplaced([this](const TSceneDocument::TTable& t) {
    if (scene_) scene_->SetTable(t);
  });
}

fs::path TSceneSession::LoadName() const {
  return doc_.Path().empty() ? scenesFolder_ / "Nova cena" : doc_.Path();
}

void TSceneSession::Load(const std::function<void()>& load) {
  if (!scene_) return;
  auto carrega = [&] {
    // The time the load takes is not the world's to catch up with.
    state_.LastStepCount = {};
    load();
  };
  if (wrapper_)
    wrapper_(carrega);
  else
    carrega();
}

void TSceneSession::Open(const fs::path& arquivo) {
  Load([&] {
    const bool mesmaCena = started_ && arquivo == LoadName();
    LoadScene(arquivo, *scene_, notices_);
    // Another scene's objects are other objects: only a reload keeps what was selected.
    if (!mesmaCena) selection_.Set(std::nullopt);
    selection_.KeepWithin(scene_->Objetos.size());
    doc_.Reset(scene_->SharedTable(), arquivo);
    Started(TStart::Opened);
  });
}

void TSceneSession::Rebuild(const TSceneDocument::TTable& tabela) {
  Load([&] {
    LoadSceneTable(tabela, LoadName(), *scene_, notices_);
    selection_.KeepWithin(scene_->Objetos.size());
    Started(TStart::Rebuilt);
  });
}

bool TSceneSession::Reload() {
  if (!scene_) return false;
  // Edits not saved yet are the scene's start state now: restarting goes back to them, not to the file.
  if (doc_.Modified() || doc_.Path().empty()) {
    if (!started_) return false;
    Rebuild(doc_.SharedTable());
    return true;
  }
  Open(doc_.Path());
  return true;
}

void TSceneSession::NewScene() {
  const auto vazia = std::make_shared<const TSceneTable>();
  Load([&] {
    LoadSceneTable(vazia, scenesFolder_ / "Nova cena", *scene_, notices_);
    doc_.Reset(vazia, {});
    selection_.Set(std::nullopt);
    Started(TStart::Rebuilt);
  });
}

void TSceneSession::Started(TStart como) {
  started_ = true;
  // A rebuilt scene may differ only in what no key sees (a colour, a size).
  rest_.Forget();
  state_.SimulatedTime = 0;
  for (const TStartListener& l : started_listeners_) l(como);
}

void TSceneSession::Frame(TFrameDrawing& desenho, TCamera& camera, TQuillonSetting& ajustes,
                          const TRemoteReading& remoto, TGrabStep agarrar, TWorldNotice aviso) {
  if (!scene_) return;
  ++frames_;
  const TTimePoint agora = clock_.Now();
  TFrameContext ctx{*scene_, camera, state_, ajustes, desenho, std::move(agarrar), std::move(aviso), [this] {
                      for (const TListener& l : step_listeners_) l();
                    }};
  TimerGLTimer(ctx, remoto, agora, clock_);
}

void TSceneSession::FrameDone() {
  for (const TListener& l : frame_listeners_) l();
}

bool TSceneSession::RestingFrame(TCamera& camera, TQuillonSetting& ajustes, const TRemoteReading& remoto,
                                 TGrabStep agarrar, TWorldNotice aviso) {
  if (!scene_) return false;
  const std::uint64_t antes = PictureKey(*scene_, state_, camera, selection_.Current());
  if (!rest_.MayRest(state_, remoto, antes)) return false;
  TNullFrameDrawing nada;
  Frame(nada, camera, ajustes, remoto, std::move(agarrar), std::move(aviso));
  // The tick itself changed what is shown (the pointer's path let go, an object put back): the next one
  // draws.
  if (PictureKey(*scene_, state_, camera, selection_.Current()) != antes) rest_.Forget();
  return true;
}

void TSceneSession::PictureDrawn(const TCamera& camera) {
  if (scene_) rest_.Drawn(PictureKey(*scene_, state_, camera, selection_.Current()));
}

void TSceneSession::ClearTrails() {
  if (scene_) ::ClearTrails(*scene_);
  std::vector<TVector>().swap(state_.PonteiroCaminho);
}
