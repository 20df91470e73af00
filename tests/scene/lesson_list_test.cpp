// The ready lessons are the scenes with a guide beside them; their titles come from the guide.

#include "scene/lesson_list.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(LessonList, ScenesWithAGuideAreLessonsTitledByTheGuidesFirstLine) {
  TTempFolder pasta;
  pasta.Write("b_queda.xml", "");
  pasta.Write("b_queda.txt", "\n  QUEDA LIVRE — uma bola de 10 m\n\nA pergunta\n");
  pasta.Write("a_rampa.XML", "");
  pasta.Write("a_rampa.html", "<html>\n<h1>Plano - com atrito</h1>\n");
  pasta.Write("sem_guia.xml", "");
  pasta.Write("so_guia.txt", "Nada\n");
  pasta.Write("vazio.xml", "");
  pasta.Write("vazio.txt", "\n\n");

  const std::vector<TLesson> aulas = FindLessons(pasta.Path());
  ASSERT_EQ(aulas.size(), 3u);
  EXPECT_EQ(aulas[0].Scene, pasta / "a_rampa.XML");
  EXPECT_EQ(aulas[0].Guide, pasta / "a_rampa.html");
  EXPECT_EQ(aulas[0].Title, "Plano") << "an HTML guide's title is its first text, without the tags";
  EXPECT_EQ(aulas[1].Title, "QUEDA LIVRE");
  EXPECT_EQ(aulas[2].Title, "vazio") << "a guide with nothing to say is named by its file";

  EXPECT_TRUE(FindLessons(pasta / "nao_existe").empty());
}

}  // namespace
