// The general button: every key of the four settings files is read with its
// default and written back, so a first run fills the files and later runs only
// add what is missing.
//
// An update applies the fields to the keys built from them, but only where the
// stored value followed an earlier layout: the layout the loading found, or the
// other system file's record of it. Anything else was tuned by hand and stays.
#include <string>

#include "common/erreurs.h"
#include "common/lib_public.h"
#include "services/journal.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "settings/settings.h"

namespace settings {
namespace {

// A default comes back from a read without its trailing spaces.
std::string SansEspacesFinaux(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}


bool encadre(const std::string& v, const std::string& avant, const std::string& apres) {
  return v.size() >= avant.size() + apres.size() && v.compare(0, avant.size(), avant) == 0 &&
         v.compare(v.size() - apres.size(), apres.size(), apres) == 0;
}

// The layout a file records: the field values its record keys were built from.
template <class Cles>
Disposition releve(const std::string& fichier, Cles cles) {
  Disposition d;
  PourChaqueCle(cles, [&](const CleParDefaut& c) {
    if (!c.temoin) return;
    const std::optional<std::string> v = LectureIniPresente(fichier, c.section, c.cle);
    if (v && encadre(*v, c.avant, c.apres))
      d[c.champ] = v->substr(std::char_traits<char>::length(c.avant),
                             v->size() - std::char_traits<char>::length(c.avant) - std::char_traits<char>::length(c.apres));
  });
  return d;
}

// Why an update does not put the field over a stored value that followed an
// earlier layout: a start text of the window is an example, not a name, and a
// blank field names nothing. Empty when it does.
std::string nonApplicable(const CleParDefaut& c, const Disposition& demandee) {
  const std::optional<std::string>& v = demandee[c.champ];
  if (!v || Trim(*v).empty()) return "le champ est vide";
  if ((c.champ == Champ::Radio && *v == kExempleRadio) || (c.champ == Champ::Station1 && *v == kExempleStation1))
    return "le champ garde le texte d'exemple";
  return {};
}

struct Passage {
  const Entrees& entrees;
  const OptionsGenerales& options;
  Disposition demandee;    // what the fields give now
  Disposition releves[2];  // Kv_Sys.ini, IL3_Systeme.ini, as the run found them
  BilanGeneral bilan;

  // True when some earlier layout gives v: the loaded one, or the other file's record.
  bool suitUneDisposition(const CleParDefaut& c, const std::string& v, int fichier) const {
    auto donne = [&](const std::optional<std::string>& x) {
      return x && SansEspacesFinaux(c.avant + *x + c.apres) == v;
    };
    if (options.chargee && donne((*options.chargee)[c.champ])) return true;
    for (int f = 0; f < 2; ++f)
      if (f != fichier && donne(releves[f][c.champ])) return true;
    return false;
  }

  // `fichier`: 0 Kv_Sys.ini, 1 IL3_Systeme.ini, -1 a file without field keys.
  template <class Cles>
  void ecrire(const std::string& chemin, Cles cles, int fichier) {
    Procedure p("Frm_Main:CommandCreerSettings_Click");
    PourChaqueCle(cles, [&](const CleParDefaut& c) {
      // One step per key: a key that fails is passed over and the others are still written.
      p.etape([&] {
        LireEtEcrireIni(chemin, c.section, c.cle, c.defaut, [&](std::string& v) { choisir(chemin, c, v, fichier); });
      });
    });
  }

  // What is written back of a key read `v`: the stored value, or for a key
  // built from a field, the field's where an update applies it.
  void choisir(const std::string& chemin, const CleParDefaut& c, std::string& v, int fichier) {
    if (!c.duChamp()) return;
    const std::string propose = SansEspacesFinaux(c.defaut);
    if (v == propose) return;
    const bool ancienne = suitUneDisposition(c, v, fichier);
    const std::string refus = !options.miseAJour ? std::string()
                              : ancienne         ? nonApplicable(c, demandee)
                                                 : "réglée à la main: aucune disposition antérieure ne donne cette valeur";
    if (options.miseAJour && refus.empty()) {
      v = propose;
      ++bilan.appliquees;
    } else {
      // The stored value wins; the report says so.
      journal::Gardee(chemin, c.section, c.cle, v, c.defaut, !ancienne, refus);
      bilan.gardees.push_back({chemin, c.section, c.cle, v, c.defaut, !ancienne});
    }
  }

  // After an update: the stations above the new count whose sections stay.
  void nonComptees(const std::string& kvSys, const std::string& il3) {
    for (int n = static_cast<int>(entrees.stations.size()) + 1; n <= 5; ++n) {
      const std::string nnn = N2S(n, 3, 0, "0");
      bool presente = false;
      // A section is known by its first key.
      auto sonde = [&](const std::string& f, const std::string& s, const std::string& k, bool section) {
        if (!LectureIniPresente(f, s, k)) return;
        presente = true;
        journal::NonComptee(f, n, s, section ? std::string() : k);
      };
      sonde(kvSys, "Div_Radio", "Station_" + nnn, false);
      sonde(kvSys, "Repertoire_Station_" + nnn, "000_00", true);
      sonde(kvSys, "Repertoire_Station_UNC" + nnn, "000_00", true);
      sonde(kvSys, "UNC_Actif" + nnn, "000_00", true);
      sonde(il3, "Base_01_Station_" + N2S(n, 2, 0, "0"), "Lib", true);
      if (presente) bilan.stationsNonComptees.push_back(n);
    }
  }
};

}  // namespace

int BilanGeneral::applicables() const {
  int n = 0;
  for (const ValeurGardee& g : gardees) n += g.regleeALaMain ? 0 : 1;
  return n;
}

Disposition DispositionDe(const Entrees& e) {
  Disposition d;
  d[Champ::Radio] = e.nomRadio;
  for (size_t i = 0; i < e.stations.size() && i < 5; ++i) d[ChampStation(static_cast<int>(i) + 1)] = e.stations[i];
  d[Champ::NombreStations] = std::to_string(e.stations.size());
  d[Champ::Application] = e.application;
  d[Champ::LogTechnique] = e.logTechnique;
  d[Champ::LogPub] = e.logPub;
  d[Champ::Sons] = e.sons;
  d[Champ::Data] = e.data;
  d[Champ::ParentConfig] = e.parentConfig;
  return d;
}

BilanGeneral EcrireParametresGeneraux(const Entrees& e, const OptionsGenerales& options) {
  const std::string kvSys = e.config + "Kv_Sys.ini";
  const std::string il3 = e.config + "IL3_Systeme.ini";
  // Each file's keys are made as they are written, twice for the files that record the layout.
  const auto clesKvSys = [&e](SortieDeCles& t) { ClesKvSys(e, t); };
  const auto clesIl3 = [&e](SortieDeCles& t) { ClesIl3Systeme(e, t); };
  Passage p{e, options, DispositionDe(e), {}, {}};
  // Each file's record is read before anything is written: the other file's
  // keys are judged against the layout as it was.
  Procedure("Frm_Main:CommandCreerSettings_Click").etape([&] {
    p.releves[0] = releve(kvSys, clesKvSys);
    p.releves[1] = releve(il3, clesIl3);
  });
  const auto avancement = [&](int n, const std::string& fichier) {
    if (options.avancement) options.avancement(n, 4, fichier);
  };
  avancement(1, kvSys);
  p.ecrire(kvSys, clesKvSys, 0);
  avancement(2, il3);
  p.ecrire(il3, clesIl3, 1);
  const std::string kvMus = e.config + "KV_Mus.ini", kvPub = e.config + "KV_Pub.ini";
  avancement(3, kvMus);
  p.ecrire(kvMus, [](SortieDeCles& t) { ClesKvMus(t); }, -1);
  avancement(4, kvPub);
  p.ecrire(kvPub, [](SortieDeCles& t) { ClesKvPub(t); }, -1);
  if (options.miseAJour) Procedure("Frm_Main:CommandCreerSettings_Click").etape([&] { p.nonComptees(kvSys, il3); });
  return p.bilan;
}

}  // namespace settings
