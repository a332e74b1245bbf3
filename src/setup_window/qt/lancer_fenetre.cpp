// The program's window on Linux.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/fenetre_programme.h"
#include "setup_window/frm_main.h"
#include "setup_window/qt/icone_fenetre.h"
#include "setup_window/qt/vue_qt.h"

namespace {

std::string variable(const char* nom) {
  const char* v = std::getenv(nom);
  return v ? v : "";
}

// QApplication aborts the process when it cannot reach a display, so look
// first. A local X display is a socket; a remote one is left to Qt.
bool affichageDisponible() {
  if (!variable("QT_QPA_PLATFORM").empty() || !variable("WAYLAND_DISPLAY").empty()) return true;
  const std::string x = variable("DISPLAY");
  if (x.empty()) return false;
  std::string numero;
  if (x[0] == ':')
    numero = x.substr(1);
  else if (x.rfind("unix:", 0) == 0)
    numero = x.substr(5);
  else
    return true;
  numero = numero.substr(0, numero.find('.'));
  std::error_code ec;
  return std::filesystem::exists("/tmp/.X11-unix/X" + numero, ec);
}

}  // namespace

namespace app {

int LancerFenetre(int argc, char** argv) {
  if (!affichageDisponible()) {
    const std::string programme = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "il3-setup";
    std::cerr << programme
              << ": aucun affichage disponible (DISPLAY n'est pas défini ou ne répond pas); "
                 "utilisez --silent pour travailler sans fenêtre (voir --help)\n";
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setWindowIcon(fenetre::qt::IconeFenetre());

  fenetre::qt::VueQt vue;
  fenetre::Frm_Main frm(vue);
  vue.Relier(&frm);
  frm.Form_Initialize();
  frm.Form_Load();
  vue.show();
  return application.exec();
}

}  // namespace app
