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
  - With C(restore), it puts back the newest set of backups made by C(backup) instead of running the actions.
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
  create_root:
    description:
      - Create the prefix folder, its C(drive_c) and C(drive_c/windows) when they are missing, so that a fresh
        machine can be set up. Their creation makes the task changed.
      - In check mode nothing is created. The task reports them changed, and the program's preview is that of
        an empty prefix.
      - Not used with C(restore).
    type: bool
    default: false
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
  backup_keep:
    description:
      - After the run, keep only the newest C(backup_keep) backups of each file (1 to 9999); the older ones are
        removed and returned in C(removed_backups).
    type: int
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
  restore:
    description:
      - Put back the files of the newest set of backups (C(NAME.YYYYMMDD-HHMMSS.bak)), all together, instead of
        running the actions. The fields, C(actions), C(backup), C(backup_keep), C(update) and C(create_root) are
        not used then.
      - Refused, and the task fails, when a file changed since its backup, unless C(force).
      - Unchanged when the files already are those of the backup. Check mode reports what would be put back.
    type: bool
    default: false
  restore_stamp:
    description: With C(restore), the set to put back, by its stamp C(YYYYMMDD-HHMMSS), instead of the newest.
    type: str
  force:
    description: With C(restore), put the files back even when they changed since their backup.
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

- name: Set up a new site on a fresh machine, keeping three backups per file
  il3_site:
    root: /srv/radios/ouest
    create_root: true
    radio: Radio Ouest
    backup: true
    backup_keep: 3

- name: Put back the files as they were before the last run with backup
  il3_site:
    root: /srv/radios/sud
    restore: true

- name: Put back an older set, even over files changed since
  il3_site:
    root: /srv/radios/sud
    restore: true
    restore_stamp: 20261209-041500
    force: true
"""

RETURN = r"""
changed:
  description:
    - Whether a folder was created or a settings file changed or put back (or, in check mode, would be).
  returned: always
  type: bool
root_created:
  description: The host folders C(create_root) created (or, in check mode, would create).
  returned: always
  type: list
  elements: str
  sample: [/srv/radios/ouest, /srv/radios/ouest/drive_c, /srv/radios/ouest/drive_c/windows]
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
    - With C(restore), the files put back, each with the backup it came from in C(restored_from).
  returned: always
  type: list
  elements: dict
  sample:
    - path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
      created: false
      backup: null
      restored_from: null
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
removed_backups:
  description: The older backups C(backup_keep) removed, as Windows paths.
  returned: always
  type: list
  elements: str
"""

import json
import os
import shutil
import tempfile

from ansible.module_utils.basic import AnsibleModule

ACTIONS = ["folders", "structural", "general"]


def restore_line(module):
    p = module.params
    cmd = [p["program"], "--silent", "--json"]
    if module.check_mode:
        cmd.append("--check")
    if p["force"]:
        cmd.append("--force")
    if p["root"]:
        cmd += ["--root", p["root"]]
    if p["app_dir"] is not None:
        cmd += ["--app-dir", p["app_dir"]]
    cmd.append("restore")
    if p["restore_stamp"]:
        cmd.append(p["restore_stamp"])
    return cmd


def command_line(module, root):
    p = module.params
    cmd = [p["program"], "--silent", "--json"]
    if module.check_mode:
        cmd.append("--check")
    if p["backup"]:
        cmd.append("--backup")
    if p["backup_keep"] is not None:
        cmd += ["--backup-keep", str(p["backup_keep"])]
    if p["update"]:
        cmd.append("--update")
    if root:
        cmd += ["--root", root]
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


def prefix(module):
    """The prefix the program will use, by its own rule."""
    return os.path.abspath(module.params["root"] or os.environ.get("WINEPREFIX") or os.path.expanduser("~/.wine"))


def missing_root_folders(root):
    """The missing folders of the prefix and of the path to it, from the outermost."""
    missing = []
    d = root
    while not os.path.isdir(d) and os.path.dirname(d) != d:
        missing.insert(0, d)
        d = os.path.dirname(d)
    drive_c = os.path.join(root, "drive_c")
    return missing + [f for f in (drive_c, os.path.join(drive_c, "windows")) if not os.path.isdir(f)]


def make_folders(module, folders):
    for n, d in enumerate(folders):
        try:
            os.mkdir(d)
        except OSError as e:
            module.fail_json(msg="create_root: impossible de créer %s: %s" % (d, e.strerror or e),
                             changed=n > 0, root_created=folders[:n])


def replace_text(value, old, new):
    """A preview run in a stand-in prefix names it where a message gives a host path."""
    if isinstance(value, str):
        return value.replace(old, new)
    if isinstance(value, list):
        return [replace_text(v, old, new) for v in value]
    if isinstance(value, dict):
        return dict((k, replace_text(v, old, new)) for k, v in value.items())
    return value


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
            backup_keep=dict(type="int"),
            update=dict(type="bool", default=False),
            create_root=dict(type="bool", default=False),
            restore=dict(type="bool", default=False),
            restore_stamp=dict(type="str"),
            force=dict(type="bool", default=False),
        ),
        supports_check_mode=True,
    )
    p = module.params
    if not p["restore"]:
        for name in ("restore_stamp", "force"):
            if p[name]:
                module.fail_json(msg="%s: seulement avec restore" % name)
    if p["backup_keep"] is not None and not 1 <= p["backup_keep"] <= 9999:
        module.fail_json(msg="backup_keep: un nombre de 1 à 9999 (reçu: %d)" % p["backup_keep"])

    created, stand_in, root = [], None, p["root"]
    if p["restore"]:
        cmd = restore_line(module)
    else:
        if p["create_root"]:
            real_root = prefix(module)
            created = missing_root_folders(real_root)
        if created and module.check_mode:
            if not os.path.isdir(os.path.join(real_root, "drive_c")):
                # The real run would meet an empty prefix, which the program cannot check while it is missing.
                stand_in = tempfile.mkdtemp(prefix="il3-root-", dir=module.tmpdir)
                os.makedirs(os.path.join(stand_in, "drive_c", "windows"))
                root = stand_in
        elif created:
            make_folders(module, created)
        cmd = command_line(module, root)
    try:
        rc, out, err = module.run_command(cmd, encoding="utf-8")
    finally:
        if stand_in:
            shutil.rmtree(stand_in, ignore_errors=True)
    if rc == 2:
        module.fail_json(msg=(err or out).strip() or "ligne de commande refusée", rc=rc, cmd=cmd,
                         changed=bool(created) and not module.check_mode, root_created=created)
    try:
        doc = json.loads(out)
    except ValueError:
        module.fail_json(msg="réponse illisible du programme: %s" % (err or out).strip()[:500], rc=rc, cmd=cmd,
                         changed=bool(created) and not module.check_mode, root_created=created)
    if stand_in:
        doc = replace_text(doc, stand_in, real_root)

    result = dict(
        changed=bool(doc.get("changed") or created or doc.get("removed_backups")),
        root_created=created,
        messages=doc.get("messages", []),
        folders=doc.get("folders", []),
        files=doc.get("files", []),
        kept=doc.get("kept", []),
        uncounted=doc.get("uncounted", []),
        removed_backups=doc.get("removed_backups", []),
        rc=rc,
    )
    if module._diff:
        diffs = []
        if created:
            diffs.append({"before": "", "after": "".join(d + "\n" for d in created),
                          "before_header": "préfixe", "after_header": "préfixe créé"})
        if result["folders"]:
            diffs.append({"before": "", "after": "".join(d + "\n" for d in result["folders"]),
                          "before_header": "dossiers", "after_header": "dossiers créés"})
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
