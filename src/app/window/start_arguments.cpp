#include "app/window/start_arguments.h"

#include <QFile>

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
    } else if (opcoes && a.startsWith('-') && a.size() > 1) {
      problemas << QStringLiteral("Opção desconhecida ignorada: %1").arg(a);
    } else if (r.Scene) {
      problemas << QStringLiteral("Só uma cena é aberta ao iniciar; ignorado: %1").arg(a);
    } else {
      r.Scene = QFile::encodeName(a).toStdString();
    }
  }
  r.Error = problemas.join('\n');
  return r;
}

QString StartUsage(const QString& programa) {
  return QStringLiteral(
             "Uso: %1 [CENA.xml]\n"
             "Abre o Vireta, a caixa de areia de física; com CENA.xml, abre essa cena ao iniciar.\n"
             "  -h, --help  mostra esta ajuda\n"
             "  --version   mostra a versão e a licença\n")
      .arg(programa);
}
