#!/usr/bin/python3
# -*- coding: utf-8 -*-
# Sets, removes or merges keys of a radio site's settings file, as the suite's Windows writer does.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: il3_ini
short_description: Sets, removes or merges keys of a site's settings file with il3-setup
description:
  - The counterpart of C(ini_file) for the suite's settings files. It runs C(il3-setup ini set), C(ini del) or
    C(ini merge) with C(--json), so each file is written as the suite's Windows writer writes it (its code page,
    its layout and its comment lines kept).
  - With C(option) and C(value), sets one key. With C(state=absent), removes one key or, without C(option), the
    whole section (its comment lines stay). With C(fragment), applies every key of an INI fragment file.
  - Idempotent. A key that already holds its value, or a key or section that is already missing, leaves the
    file untouched and the task unchanged.
  - In check mode the program runs with C(--check). It writes nothing and reports what a real run would change.
  - In diff mode the added, changed and removed keys are shown.
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
  path:
    description:
      - The settings file, as a Windows path such as C(C:\Kelvaro\Ilvane\Config\KV_Pub.ini).
      - On Linux a host path starting with C(/) works too.
      - A missing file, and its missing folders, are created when a key is written.
    type: str
    required: true
    aliases: [dest]
  section:
    description:
      - The section, without its brackets.
      - Required unless C(fragment) is given.
    type: str
  option:
    description:
      - The key.
      - Required with C(state=present) unless C(fragment) is given. With C(state=absent), leave it out to remove
        the whole section.
    type: str
    aliases: [key]
  value:
    description:
      - The value to write, as text. Required with C(state=present) unless C(fragment) is given.
      - An empty text writes the key with an empty value.
      - Quote values YAML would read as numbers or booleans (C('01'), C('yes')).
    type: str
  state:
    description: Whether the key (or section) must be there or not. C(absent) does not combine with C(fragment).
    type: str
    choices: [present, absent]
    default: present
  fragment:
    description:
      - An INI file on the managed host whose keys are all applied to C(path), in their order (C(ini merge)).
      - Encoded in Windows-1252, or in UTF-8 with its byte order mark. Keys outside any section are ignored, with
        a warning, as Windows ignores them.
      - Excludes C(section), C(option) and C(value).
    type: path
  missing_only:
    description: With C(fragment), only add the keys the file lacks; the values it holds stay.
    type: bool
    default: false
  backup:
    description: Keep a copy C(NAME.YYYYMMDD-HHMMSS.bak) of the file before its first change.
    type: bool
    default: false
notes:
  - The file is read and written by the program, never by the module, so the result matches what the suite
    itself reads.
  - C(il3_site) with C(restore=true) puts back the newest backups of the site's files.
requirements:
  - il3-setup (the .deb package) on the managed host
seealso:
  - module: ansible.builtin.ini_file
"""

EXAMPLES = r"""
- name: One key
  il3_ini:
    root: /srv/radios/sud
    path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
    section: Pub_Voix
    option: Voix_01
    value: Annonce
    backup: true

- name: Remove a key
  il3_ini:
    root: /srv/radios/sud
    path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
    section: Pub_Voix
    option: Voix_06
    state: absent

- name: Remove a whole section
  il3_ini:
    root: /srv/radios/sud
    path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
    section: Essai
    state: absent

- name: The same settings on every site (preview with --check --diff)
  il3_ini:
    root: "{{ il3_root }}"
    path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
    fragment: "{{ playbook_dir }}/files/KV_Pub_voix.ini"

- name: Only the keys a site lacks
  il3_ini:
    root: "{{ il3_root }}"
    path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
    fragment: /tmp/KV_Pub_voix.ini
    missing_only: true
"""

RETURN = r"""
changed:
  description: Whether the file changed (or, in check mode, would change).
  returned: always
  type: bool
messages:
  description:
    - The program's messages, each with its kind (info, warning or error), code and French text.
    - The warnings of a run that succeeds are also shown as Ansible warnings.
  returned: always
  type: list
  elements: dict
  sample: [{"kind": "warning", "code": "fragment-cles-hors-section",
            "text": "Clés du fragment hors de toute section, ignorées comme Windows les ignore: 1"}]
files:
  description:
    - The changed file (none when nothing changed), with its Windows path, whether it was created, its backup,
      and the keys added and the values changed.
    - A removal lists no keys; diff mode shows them.
  returned: always
  type: list
  elements: dict
  sample:
    - path: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini'
      created: false
      backup: 'C:\Kelvaro\Ilvane\Config\KV_Pub.ini.20261209-041500.bak'
      added: [{"section": "Pub_Voix", "key": "Voix_07", "value": "Meteo"}]
      changed: [{"section": "Pub_Voix", "key": "Voix_01", "before": "Voix 01", "after": "Annonce"}]
rc:
  description: The program's exit status.
  returned: always
  type: int
"""

import json

from ansible.module_utils.basic import AnsibleModule


def base(p):
    cmd = [p["program"]]
    if p["root"]:
        cmd += ["--root", p["root"]]
    return cmd


def command_line(module):
    p = module.params
    cmd = base(p) + ["--json", "ini"]
    if p["fragment"] is not None:
        cmd.append("merge")
    elif p["state"] == "present":
        cmd.append("set")
    else:
        cmd.append("del")
    if module.check_mode:
        cmd.append("--check")
    if p["backup"]:
        cmd.append("--backup")
    if p["fragment"] is not None:
        if p["missing_only"]:
            cmd.append("--missing-only")
        return cmd + [p["path"], p["fragment"]]
    cmd += [p["path"], p["section"]]
    if p["option"] is not None:
        cmd.append(p["option"])
    if p["state"] == "present":
        cmd.append(p["value"])
    return cmd


def validate(module):
    p = module.params
    if p["fragment"] is not None:
        given = [n for n in ("section", "option", "value") if p[n] is not None]
        if given:
            module.fail_json(msg="fragment: ne se combine pas avec %s" % ", ".join(given))
        if p["state"] == "absent":
            module.fail_json(msg="fragment: ne se combine pas avec state=absent")
        return
    if p["missing_only"]:
        module.fail_json(msg="missing_only: seulement avec fragment")
    if p["section"] is None:
        module.fail_json(msg="section: requise sans fragment")
    if p["state"] == "present":
        missing = [n for n in ("option", "value") if p[n] is None]
        if missing:
            module.fail_json(msg="state=present: %s requis sans fragment" % " et ".join(missing))
    elif p["value"] is not None:
        module.fail_json(msg="value: sans objet avec state=absent")


def removed_keys(module):
    """What a removal would take away, read before it runs: the JSON document lists no removed key."""
    p = module.params
    if p["option"] is not None:
        names = [p["option"]]
    else:
        rc, out, _ = module.run_command(base(p) + ["--json", "ini", "list", p["path"], p["section"]], encoding="utf-8")
        if rc != 0:
            return []
        try:
            names = json.loads(out).get("names", [])
        except ValueError:
            return []
    lines = [] if p["option"] is not None else ["[%s]" % p["section"]]
    for name in names:
        rc, out, _ = module.run_command(base(p) + ["ini", "get", p["path"], p["section"], name], encoding="utf-8")
        if rc == 0:
            lines.append("[%s] %s=%s" % (p["section"], name, out.rstrip("\r\n")))
    return lines


def file_diff(f, removed):
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
        "before": "".join(line + "\n" for line in before + removed),
        "after": "".join(line + "\n" for line in after),
    }


def main():
    module = AnsibleModule(
        argument_spec=dict(
            program=dict(type="str", default="il3-setup"),
            root=dict(type="path"),
            path=dict(type="str", required=True, aliases=["dest"]),
            section=dict(type="str"),
            option=dict(type="str", aliases=["key"]),
            value=dict(type="str"),
            state=dict(type="str", choices=["present", "absent"], default="present"),
            fragment=dict(type="path"),
            missing_only=dict(type="bool", default=False),
            backup=dict(type="bool", default=False),
        ),
        supports_check_mode=True,
    )
    validate(module)
    p = module.params
    removing = p["fragment"] is None and p["state"] == "absent"
    removed = removed_keys(module) if removing and module._diff else []

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
        files=doc.get("files", []),
        rc=rc,
    )
    if module._diff:
        result["diff"] = [file_diff(f, removed) for f in result["files"]]
    if doc.get("failed") or rc != 0:
        texts = [m["text"] for m in result["messages"] if m.get("kind") == "error"]
        module.fail_json(msg=" | ".join(texts) or (err or "").strip() or "échec signalé (sortie %d)" % rc, **result)
    for m in result["messages"]:
        if m.get("kind") == "warning":
            module.warn(m["text"])
    module.exit_json(**result)


if __name__ == "__main__":
    main()
