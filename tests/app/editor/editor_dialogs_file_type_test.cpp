// What a desktop's file manager calls a saved scene, measured with Qt's own MIME database on a private copy
// of the system's types plus Vireta's, so that nothing installed on this machine decides the answer.

#include "app/editor/editor_dialogs.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

#include <QMimeDatabase>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const char* const Scene =
    "<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET "
    "Version=\"2.0\"><METADATA/><ROWDATA/></DATAPACKET>\n";

std::string TypeOf(const std::filesystem::path& file) {
  return QMimeDatabase().mimeTypeForFile(QString::fromStdString(file.string())).name().toStdString();
}

TEST(SceneFileType, ANewSceneGetsTheScenesOwnExtensionAndAnXmlNameStays) {
  EXPECT_EQ(SceneSavePath("/home/ana/Cenas/queda"), "/home/ana/Cenas/queda.cena.xml");
  EXPECT_EQ(SceneSavePath("/home/ana/Cenas/queda.XML"), "/home/ana/Cenas/queda.XML");
  EXPECT_EQ(SceneSavePath("queda.cena.xml"), "queda.cena.xml");
  EXPECT_EQ(SceneSavePath(""), "");
}

TEST(SceneFileType, ASavedSceneOpensAsViretasTypeAndOtherXmlKeepsItsOwn) {
  const TTempFolder pasta;
  const std::filesystem::path mime = pasta / "share/mime";
  std::filesystem::create_directories(mime / "packages");
  std::filesystem::copy_file("/usr/share/mime/packages/freedesktop.org.xml",
                             mime / "packages/freedesktop.org.xml");
  std::filesystem::copy_file(VIRETA_SOURCE_DIR "/data/vireta-cena.xml", mime / "packages/vireta-cena.xml");
  const TCommandResult feito = RunCommand("update-mime-database '" + mime.string() + "'");
  ASSERT_EQ(feito.status, 0) << feito.err;
  // Qt reads the database once, at its first question: the private one must be all it can find.
  setenv("XDG_DATA_HOME", (pasta / "home").c_str(), 1);
  setenv("XDG_DATA_DIRS", (pasta / "share").c_str(), 1);

  EXPECT_EQ(TypeOf(pasta.Write(SceneSavePath("queda").toStdString(), Scene)), "application/x-vireta-cena");
  EXPECT_EQ(TypeOf(pasta.Write("figura.svg",
                               "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n")),
            "image/svg+xml");
  EXPECT_EQ(TypeOf(pasta.Write("pom.xml", "<?xml version=\"1.0\"?>\n<project/>\n")), "text/x-maven+xml");
  EXPECT_EQ(TypeOf(pasta.Write("notas.xml", "<?xml version=\"1.0\"?>\n<notas/>\n")), "application/xml");
}

}  // namespace
