#!/usr/bin/python3
# -*- coding: utf-8 -*-
# Sets up or upgrades one radio site through the setup tool's silent mode.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: il3_site
short_description: Sets up a radio site's folders and settings files with il3-setup
description:
  - Runs C(il3-setup --silent --json) (or C(IL3_Setup.exe)) with the site's fields and the chosen actions,
    the three buttons of the setup window.
  - Idempotent. The first run creates the folders and fills the settings files. Later runs only add the
    keys that are missing and never overwrite a value the site has tuned.
  - Stored values that differ from the fields stay and are returned in C(kept). When some of them follow from
    an earlier layout, the run ends with a warning that C(update) would apply them.
  - In check mode the program runs with C(--check). It writes nothing and reports what a real run would change.
  - In diff mode the added and changed keys of each file are shown.
options:
  program:
    description: Path of C(il3-setup) (or of C(IL3_Setup.exe) where it runs natively).
    type: str
    default: il3-setup
  root:
    description:
      - The prefix folder that holds the drives (C(ROOT/drive_c) is C:). Linux only.
      - Without it, the program uses C($WINEPREFIX), else C(~/.wine).
    type: path
  app_dir:
    description:
      - The program's own folder as a Windows path. The site file C(Settings\IL3_Config.ini) is written there.
    type: str
  radio:
    description: The radio's name.
    type: str
  guid:
    description: The site GUID.
    type: str
  stations:
    description: The names of up to five stations, in order.
    type: list
    elements: str
  folders:
    description:
      - The folder fields, from index to absolute Windows path.
      - The indexes are 0 application, 1 configuration, 2 technical log, 3 advertising log, 4 sounds and
        5 data. An empty text empties the field.
    type: dict
  actions:
    description: The buttons to press, in order.
    type: list
    elements: str
    choices: [folders, structural, general]
    default: [folders, structural, general]
  backup:
    description: Keep a copy C(NAME.YYYYMMDD-HHMMSS.bak) of each existing file before its first change.
    type: bool
    default: false
  update:
    description:
      - Apply the fields (radio name, stations and their count, folders) to the keys drawn from them that
        still follow an earlier layout. Use it after renaming the radio, adding or removing a station, or
        moving a folder; without it those keys keep their stored values.
      - A value tuned by hand stays, and is returned in C(kept) with C(tuned=true).
      - The keys of a removed station stay in the files, no longer counted; they are returned in
        C(uncounted).
      - Check mode with diff mode previews the values it would change.
    type: bool
    default: false
requirements:
  - il3-setup (the .deb package) on the managed host
"""

EXAMPLES = r"""
- name: Set up the site
  il3_site:
    root: /srv/radios/sud
    radio: Radio Sud
    guid: 5D1B6C2E-0F4A-4C39-9E2B-7A51C0D3E8F1
    stations: [Studio, Antenne]
    folders:
      1: 'C:\Kelvaro\Ilvane\Config\'
      4: 'D:\Sons\'
    backup: true

- name: Rename the radio and add a station (preview it first with --check --diff)
  il3_site:
    root: /srv/radios/sud
    radio: Radio Sud FM
    stations: [Studio, Antenne, Web]
    update: true

- name: Only complete the settings files
  il3_site:
    root: /srv/radios/nord
    actions: [general]
"""

RETURN = r"""
changed:
  description: Whether a folder was created or a settings file changed (or, in check mode, would be).
  returned: always
  type: bool
messages:
  description:
    - The window's messages, each with its kind (info, warning or error) and French text.
    - The warnings of a run that succeeds are also shown as Ansible warnings.
  returned: always
  type: list
  elements: dict
  sample: [{"kind": "info", "text": "Paramétrage créé ou MAJ"}]
folders:
  description: The folders created, as Windows paths.
  returned: always
  type: list
  elements: str
files:
  description:
    - The changed files, each with its Windows path, whether it was created, its backup, and the keys added
      and the values changed.
  returned: always
  type: list
  elements: dict
  sample:
    - path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
      created: false
      backup: null
      added: [{"section": "Div", "key": "Cle", "value": "1"}]
      changed: []
kept:
  description:
    - The stored values that won over the values the fields offered, such as a radio name changed in the
      window but kept in the settings files.
    - Each has its path, section, key, the stored value, the offered value and C(tuned), true for a value
      tuned by hand, which C(update) keeps too.
  returned: always
  type: list
  elements: dict
  sample:
    - path: 'C:\Kelvaro\Ilvane\Config\Kv_Sys.ini'
      section: Div_Radio
      key: Nom_Radio
      stored: Radio Sud
      offered: Radio Sud FM
      tuned: false
uncounted:
  description:
    - The keys of the stations an update no longer counts, left in the files. Each has its path, station,
      section and key (null for a whole section).
  returned: always
  type: list
  elements: dict
  sample:
    - path: 'C:\Kelvaro\Ilvane\Config\IL3_Systeme.ini'
      station: 3
      section: Base_01_Station_03
      key: null
"""

import json

from ansible.module_utils.basic import AnsibleModule

ACTIONS = ["folders", "structural", "general"]


def command_line(module):
    p = module.params
    cmd = [p["program"], "--silent", "--json"]
    if module.check_mode:
        cmd.append("--check")
    if p["backup"]:
        cmd.append("--backup")
    if p["update"]:
        cmd.append("--update")
    if p["root"]:
        cmd += ["--root", p["root"]]
    if p["app_dir"] is not None:
        cmd += ["--app-dir", p["app_dir"]]
    if p["radio"] is not None:
        cmd += ["--radio", p["radio"]]
    if p["guid"] is not None:
        cmd += ["--guid", p["guid"]]
    stations = p["stations"] or []
    if len(stations) > 5:
        module.fail_json(msg="stations: cinq stations au plus (%d données)" % len(stations))
    for n, name in enumerate(stations, start=1):
        cmd += ["--station", "%d=%s" % (n, name)]
    for index, path in sorted((p["folders"] or {}).items(), key=lambda kv: str(kv[0])):
        try:
            i = int(index)
        except (TypeError, ValueError):
            i = -1
        if not 0 <= i <= 5:
            module.fail_json(msg="folders: l'indice %s n'est pas de 0 à 5" % index)
        cmd += ["--folder", "%d=%s" % (i, "" if path is None else path)]
    cmd += p["actions"]
    return cmd


def file_diff(f):
    """The changed keys of one file, as before and after texts for Ansible's diff."""
    before, after = [], []
    for k in f.get("changed", []):
        before.append("[%s] %s=%s" % (k["section"], k["key"], k["before"]))
        after.append("[%s] %s=%s" % (k["section"], k["key"], k["after"]))
    for k in f.get("added", []):
        after.append("[%s] %s=%s" % (k["section"], k["key"], k["value"]))
    header = f["path"] + (" (créé)" if f.get("created") else "")
    return {
        "before_header": header,
        "after_header": header,
        "before": "".join(line + "\n" for line in before),
        "after": "".join(line + "\n" for line in after),
    }


def main():
    module = AnsibleModule(
        argument_spec=dict(
            program=dict(type="str", default="il3-setup"),
            root=dict(type="path"),
            app_dir=dict(type="str"),
            radio=dict(type="str"),
            guid=dict(type="str"),
            stations=dict(type="list", elements="str"),
            folders=dict(type="dict"),
            actions=dict(type="list", elements="str", choices=ACTIONS, default=list(ACTIONS)),
            backup=dict(type="bool", default=False),
            update=dict(type="bool", default=False),
        ),
        supports_check_mode=True,
    )
    cmd = command_line(module)
    rc, out, err = module.run_command(cmd, encoding="utf-8")
    if rc == 2:
        module.fail_json(msg=(err or out).strip() or "ligne de commande refusée", rc=rc, cmd=cmd)
    try:
        doc = json.loads(out)
    except ValueError:
        module.fail_json(msg="réponse illisible du programme: %s" % (err or out).strip()[:500], rc=rc, cmd=cmd)

    result = dict(
        changed=bool(doc.get("changed")),
        messages=doc.get("messages", []),
        folders=doc.get("folders", []),
        files=doc.get("files", []),
        kept=doc.get("kept", []),
        uncounted=doc.get("uncounted", []),
        rc=rc,
    )
    if module._diff:
        diffs = [{"before": "", "after": "".join(d + "\n" for d in result["folders"]),
                  "before_header": "dossiers", "after_header": "dossiers créés"}] if result["folders"] else []
        result["diff"] = diffs + [file_diff(f) for f in result["files"]]
    if doc.get("failed") or rc != 0:
        texts = [m["text"] for m in result["messages"] if m.get("kind") in ("error", "warning")]
        module.fail_json(msg=" | ".join(texts) or "échec signalé (sortie %d)" % rc, **result)
    # On failure they are in msg already.
    for m in result["messages"]:
        if m.get("kind") == "warning":
            module.warn(m["text"])
    module.exit_json(**result)


if __name__ == "__main__":
    main()
