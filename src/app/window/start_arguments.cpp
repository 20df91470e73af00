#include "app/window/start_arguments.h"

#include <QFile>

#include <algorithm>
#include <iterator>

namespace {

// Qt's own options, for every Qt program: the ones that take a value (after a blank or an "=") and the
// flags. Qt reads them with one dash or two.
constexpr const char* QtOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger", "dialogs", "fontengine"};
constexpr const char* QtFlags[] = {"reverse", "widgetcount", "nograb", "dograb"};

template <std::size_t N>
bool Among(const QString& nome, const char* const (&lista)[N]) {
  return std::any_of(std::begin(lista), std::end(lista),
                     [&](const char* o) { return nome == QLatin1String(o); });
}

// How many arguments from `a` on are one of Qt's options: 0 when `a` is not one.
int QtOptionLength(const QString& a, bool haProximo) {
  if (!a.startsWith('-')) return 0;
  const QString nome = a.mid(a.startsWith(QStringLiteral("--")) ? 2 : 1);
  const qsizetype igual = nome.indexOf('=');
  if (igual > 0) return Among(nome.left(igual), QtOptionsWithValue) ? 1 : 0;
  if (Among(nome, QtFlags)) return 1;
  return Among(nome, QtOptionsWithValue) && haProximo ? 2 : 0;
}

}  // namespace

TStartArguments ParseStartArguments(const QStringList& argumentos) {
  TStartArguments r;
  QStringList problemas;
  bool opcoes = true;
  for (qsizetype i = 1; i < argumentos.size(); ++i) {
    const QString& a = argumentos[i];
    if (opcoes && a == "--") {
      opcoes = false;
    } else if (opcoes && (a == "-h" || a == "--help")) {
      r.Help = true;
    } else if (opcoes && a == "--version") {
      r.Version = true;
    } else if (const int qt = opcoes ? QtOptionLength(a, i + 1 < argumentos.size()) : 0; qt > 0) {
      i += qt - 1;
    } else if (opcoes && a.startsWith('-') && a.size() > 1) {
      if (r.Unknown.isEmpty()) r.Unknown = a;
    } else if (r.Scene) {
      problemas << QStringLiteral("Só uma cena é aberta ao iniciar; ignorado: %1").arg(a);
    } else {
      r.Scene = QFile::encodeName(a).toStdString();
    }
  }
  r.Error = problemas.join('\n');
  return r;
}

QString UnknownOptionText(const QString& programa, const QString& opcao) {
  return QStringLiteral("%1: opção desconhecida: %2\n").arg(programa, opcao) + StartUsage(programa);
}

QString StartUsage(const QString& programa) {
  return QStringLiteral(
             "Uso: %1 [CENA.xml]\n"
             "Abre o Vireta, a caixa de areia de física; com CENA.xml, abre essa cena ao iniciar.\n"
             "  -h, --help  mostra esta ajuda\n"
             "  --version   mostra a versão e a licença\n")
      .arg(programa);
}
