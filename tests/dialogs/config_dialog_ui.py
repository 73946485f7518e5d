#!/usr/bin/python3
"""Drives the configuration dialog of reefsaver_plain through the accessibility
tree, the way a person would, and checks what it stores.

Usage: config_dialog_ui.py <bin dir> <case> <screenshot dir> <work dir>
"""
import os
import re
import subprocess
import sys
import time

import pyatspi

BIN, CASE, SHOTS, WORK = sys.argv[1:5]
PROGRAM = os.path.join(BIN, "reefsaver_plain")
SETTINGS_KEY = "HKEY_CURRENT_USER\\Software\\ReefSaver\\Settings"
PAGES = ["intro", "boid", "fish", "birds", "animals", "diverse", "sky", "camera", "sound"]
# The set entries are named by their sets' German names (the cases run under a
# German locale unless they say otherwise); the settings file keys them by id.
SET_IDS = {"Clownfisch": "clownfish", "Papageifisch": "parrotfish", "Muräne": "moray",
           "Grüne Meeresschildkröte": "seaturtle"}


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(what, probe, seconds=60.0, on_timeout=None):
    end = time.time() + seconds
    while time.time() < end:
        try:
            found = probe()
        except Exception:  # the tree changes under us while the program starts
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what + (":\n" + on_timeout() if on_timeout else ""))


def children(node):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield child


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def find_all(node, role, name=None, only_showing=True):
    found = []
    for child in children(node):
        if only_showing and not showing(child):
            continue
        if child.getRoleName() == role and (name is None or child.name == name):
            found.append(child)
        found.extend(find_all(child, role, name, only_showing))
    return found


def find(node, role, name=None):
    matches = find_all(node, role, name)
    return matches[0] if matches else None


class Saver:
    """The program under test, with its own settings folder and error log."""

    def __init__(self, args, config_home, program=PROGRAM):
        env = dict(os.environ)
        env["XDG_CONFIG_HOME"] = config_home
        # Sanitizer reports must not pass for an exit code of the program's own.
        env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":exitcode=86"
        self.log = os.path.join(WORK, "saver.log")
        self.process = subprocess.Popen([program] + args, env=env, stdout=subprocess.DEVNULL,
                                        stderr=open(self.log, "w"))
        self.app = wait_for("the program on the accessibility bus", self.find_app,
                            on_timeout=lambda: open(self.log).read())

    def find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            if app.name == "reefsaver_plain" and app.get_process_id() == self.process.pid:
                return app
        return None

    def window(self, title):
        return wait_for("window " + title, lambda: find(self.app, "frame", title) or find(self.app, "dialog", title))

    def finish(self, seconds=60, expected=0):
        try:
            code = self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail("the program did not end after the dialog closed")
        log = open(self.log).read()
        leaks_of_ours = own_leaks(log)
        sanitizer_error = "ERROR: AddressSanitizer" in log or "runtime error:" in log
        only_foreign_leaks = code == 86 and "LeakSanitizer" in log and not leaks_of_ours and not sanitizer_error
        if (code != expected and not only_foreign_leaks) or sanitizer_error or leaks_of_ours:
            fail("program ended with %d:\n%s" % (code, log))
        if only_foreign_leaks:
            print("note: leaks only in unloaded system modules (the GL driver glvnd unloads at exit)")
        return log


def own_leaks(log):
    """Leak reports with a frame in our program. A leak whose frames all lie in
    modules unloaded before exit (shown as unknown modules) or in system
    libraries is not ours: our code lives in the executable, which never unloads."""
    ours = []
    for block in re.split(r"\n(?=(?:Direct|Indirect) leak of)", log):
        if not re.match(r"(?:Direct|Indirect) leak of", block):
            continue
        frames = re.findall(r"^\s*#\d+ .*$", block, re.M)
        if any("reef::" in f or "reefsaver_plain" in f or re.search(r"\.\./\w+/\w+\.(cpp|h)", f) for f in frames[1:]):
            ours.append(block)
    return ours


def click(node):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index) == "click":
            action.doAction(index)
            return
    action.doAction(0)


def press(node):
    """Clicks the middle of a control with the pointer. Actions that open a
    modal window must go this way: an accessibility action does not return
    until its handler does."""
    x, y, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2), "click", "1"], check=True)


def screenshot(window, name):
    x, y, width, height = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    path = os.path.join(SHOTS, name + ".png")
    subprocess.run(["/usr/bin/import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                    "+repage", path], check=True)
    print("screenshot " + path)


def select_page(main, index):
    table = find(main, "table")
    table.queryTable().addRowSelection(index)
    time.sleep(0.4)


def read_settings(path):
    """The .reg file as {key: {name: value}} with dwords as ints."""
    keys, current = {}, None
    for line in open(path, encoding="utf-8"):
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1].lower(), {})
            continue
        match = re.match(r'^"(.*)"=dword:([0-9a-fA-F]{8})$', line)
        if match and current is not None:
            current[match.group(1)] = int(match.group(2), 16)
    return keys


def census(config_home):
    env = dict(os.environ)
    env["XDG_CONFIG_HOME"] = config_home
    # The census is a test helper; leaks of the GL driver it unloads are not the saver's.
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
    out = subprocess.run([os.path.join(BIN, "scene_census")], env=env, capture_output=True, text=True, timeout=240)
    if out.returncode != 0:
        fail("the following saver run failed:\n" + out.stderr)
    fish = int(re.search(r"^fish (\d+)$", out.stdout, re.M).group(1))
    sets = re.findall(r"^singlefish (\S+)$", out.stdout, re.M)
    return fish, sets


# ------------------------------------------------------------------ cases

def walk_and_accept():
    home = os.path.join(WORK, "config")
    saver = Saver(["/c"], home)
    main = saver.window("Einstellungen")
    titles = [cell.name for cell in find_all(main, "table cell")]
    if len(titles) != 10 or titles[9] != "Bildschirmeinstellungen":
        fail("unexpected page list %r" % titles)
    screenshot(main, "config-main")
    unchecked_fish, chosen_animal, previous_animal = "Clownfisch", None, None
    for index, page in enumerate(PAGES):
        select_page(main, index)
        if page == "intro":
            picture = find(main, "icon")
            if picture is None or picture.queryImage().getImageSize()[0] < 100:
                fail("the intro picture is missing")
        if page == "fish":
            slider = wait_for("the fish count trackbar", lambda: find(main, "slider"))
            slider.queryValue().currentValue = 15
            readout = find(main, "text")
            if readout.queryText().getText(0, -1) != "15":
                fail("the readout shows %r" % readout.queryText().getText(0, -1))
            box = find(main, "check box", unchecked_fish)
            if box is None or not checked(box):
                fail("the %s set is not listed checked" % unchecked_fish)
            click(box)
            if checked(box):
                fail("the check box did not uncheck")
        if page == "animals":
            radios = find_all(main, "radio button")
            chosen = [r for r in radios if checked(r)]
            if len(radios) < 2 or len(chosen) != 1:
                fail("animal page: %d radios, %d chosen" % (len(radios), len(chosen)))
            previous_animal = chosen[0].name
            other = [r for r in radios if not checked(r)][0]
            chosen_animal = other.name
            click(other)
            time.sleep(0.2)
            if not checked(other) or checked(chosen[0]):
                fail("the animal choice did not move")
        if page == "camera":
            if not find(main, "combo box"):
                fail("no camera choice shown")
        screenshot(main, "config-%d-%s" % (index, page))
    # The tenth entry opens the screen settings, if this build has them.
    press(find(main, "table cell", "Bildschirmeinstellungen"))
    screen = None
    end = time.time() + 5
    while time.time() < end and screen is None:
        screen = find(saver.app, "frame", "Bildschirmeinstellungen") or find(saver.app, "dialog",
                                                                              "Bildschirmeinstellungen")
        time.sleep(0.2)
    if screen is not None:
        screenshot(screen, "screen-settings")
        click(find(screen, "push button", "Abbrechen"))
        print("the tenth entry opened the screen settings")
    else:
        print("the tenth entry opened nothing")
    click(find(main, "push button", "OK"))
    saver.finish()

    stored = read_settings(os.path.join(home, "reefsaver", "settings.reg"))
    scalars = stored.get(SETTINGS_KEY.lower(), {})
    expected = {"BoidModel": 0, "BoidCount": 10, "FishCount": 15, "BirdGull": 1, "CameraPos": 0, "CameraSpeed": 4,
                "CameraFixTop": 30, "CameraFixBottom": 30, "SkyType": 0, "SoundOn": 1}
    if scalars != expected:
        fail("stored %r, expected %r" % (scalars, expected))
    sets = stored.get((SETTINGS_KEY + "\\fish").lower(), {})
    unchecked_fish, chosen_animal, previous_animal = (SET_IDS[n] for n in (unchecked_fish, chosen_animal, previous_animal))
    if sets.get(unchecked_fish) != 0 or sets.get(chosen_animal) != 1 or sets.get(previous_animal) != 0:
        fail("set flags %r" % sets)
    switched_off = sorted(name for name, value in sets.items() if value == 0)
    animals_off = sorted(set(switched_off) - {unchecked_fish})
    print("stored: FishCount 15, off: %s, animal: %s" % (switched_off, chosen_animal))
    if previous_animal not in animals_off:
        fail("the previous animal is still on")

    fish, fish_sets = census(home)
    print("following run: %d fish, single fish from %s" % (fish, sorted(set(fish_sets))))
    if fish != 15:
        fail("the following run built %d fish" % fish)
    if unchecked_fish in fish_sets or not fish_sets:
        fail("single fish sets %r" % fish_sets)


def cancel():
    home = os.path.join(WORK, "config")
    os.makedirs(os.path.join(home, "reefsaver"))
    path = os.path.join(home, "reefsaver", "settings.reg")
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n\"FishCount\"=dword:00000007\r\n"
                "\"SoundOn\"=dword:00000001\r\n\r\n[%s\\fish]\r\n\"clownfish\"=dword:00000000\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=\"me\"\r\n" % (SETTINGS_KEY, SETTINGS_KEY))
    before = open(path, "rb").read()
    saver = Saver(["/c"], home)
    main = saver.window("Einstellungen")
    select_page(main, 2)
    slider = wait_for("the fish count trackbar", lambda: find(main, "slider"))
    if round(slider.queryValue().currentValue) != 7:
        fail("the trackbar does not show the stored 7")
    box = find(main, "check box", "Clownfisch")
    if box is None or checked(box):
        fail("the stored off set is not shown unchecked")
    slider.queryValue().currentValue = 3
    click(find(main, "check box", "Papageifisch"))
    select_page(main, 8)
    click(find(main, "check box"))
    click(find(main, "push button", "Abbrechen"))
    saver.finish()
    if open(path, "rb").read() != before:
        fail("Cancel changed the settings file")


def unwritable():
    # The settings folder cannot be made: its parent is a plain file.
    home = os.path.join(WORK, "not-a-folder")
    open(home, "w").close()
    saver = Saver(["/c"], home)
    main = saver.window("Einstellungen")
    select_page(main, 2)
    wait_for("the fish count trackbar", lambda: find(main, "slider")).queryValue().currentValue = 12
    press(find(main, "push button", "OK"))
    alert = wait_for("the message", lambda: find(saver.app, "alert"), 30,
                     on_timeout=lambda: repr([(c.getRoleName(), c.name) for c in children(saver.app)]) + open(saver.log).read())
    text = " ".join(label.name for label in find_all(alert, "label"))
    if "nicht gespeichert" not in text:
        fail("the message says %r" % text)
    screenshot(alert, "config-save-failed")
    click(find(alert, "push button"))
    time.sleep(0.5)
    main = saver.window("Einstellungen")  # still open, nothing lost
    if round(find(main, "slider").queryValue().currentValue) != 12:
        fail("the choice was lost")
    click(find(main, "push button", "Abbrechen"))
    saver.finish()
    if not os.path.isfile(home):
        fail("the plain file was touched")


def screen_settings():
    """Opens the screen settings from the tenth entry, leaves the current
    resolution for a chosen 32-bit mode, and accepts."""
    home = os.path.join(WORK, "config")
    saver = Saver(["/c"], home)
    main = saver.window("Einstellungen")
    press(find(main, "table cell", "Bildschirmeinstellungen"))
    screen = saver.window("Bildschirmeinstellungen")
    keep = find(screen, "check box", "Aktuelle Auflösung beibehalten")
    combos = find_all(screen, "combo box")
    if keep is None or not checked(keep) or len(combos) != 2:
        fail("screen settings: keep box %r, %d lists" % (keep, len(combos)))
    if combos[0].getState().contains(pyatspi.STATE_ENABLED):
        fail("the lists are enabled while the resolution is kept")
    click(keep)
    depth, resolution = combos
    # Nothing is stored yet: the 24-bit screen's own depth is preselected, and
    # its modes are offered at once.
    if depth.name != "32 bit":
        fail("the depth preselected on a 24-bit screen is %r" % depth.name)
    first_modes = [item.name for item in find_all(resolution, "menu item", only_showing=False)]
    # X offers the same modes at either depth.
    depth.querySelection().selectChild(0)  # "16 bit"
    time.sleep(0.3)
    modes16 = [item.name for item in find_all(resolution, "menu item", only_showing=False)]
    depth.querySelection().selectChild(1)  # "32 bit"
    time.sleep(0.3)
    modes = [item.name for item in find_all(resolution, "menu item", only_showing=False)]
    print("offered modes at 32 bits: %s" % modes)
    if len(modes) < 2:
        fail("fewer than two modes offered at 32 bits: %r" % modes)
    if modes16 != modes or first_modes != modes:
        fail("the modes differ by depth: first %r, 16 bits %r, 32 bits %r" % (first_modes, modes16, modes))
    # The first mode is shown; another one is picked.
    pick = len(modes) - 1
    resolution.querySelection().selectChild(pick)
    time.sleep(0.3)
    screenshot(screen, "screen-settings-chosen")
    click(find(screen, "push button", "OK"))
    wait_for("the screen settings to close", lambda: find(saver.app, "frame", "Bildschirmeinstellungen") is None)
    click(find(main, "push button", "Abbrechen"))
    saver.finish()
    width, height = [int(v) for v in modes[pick].split(" x ")]
    stored = read_settings(os.path.join(home, "reefsaver", "settings.reg")).get(SETTINGS_KEY.lower(), {})
    expected = {"Width": width, "Height": height, "Bpp": 32, "LeaveRes": 0, "ShadeScecondary": 1}
    if stored != expected:
        fail("stored %r, expected %r" % (stored, expected))


def keys():
    """Escape cancels the dialog; Enter accepts it."""
    home = os.path.join(WORK, "config")
    for key, expected in (("Escape", None), ("Return", 4)):
        saver = Saver(["/c"], home)
        main = saver.window("Einstellungen")
        select_page(main, 2)
        wait_for("the fish count trackbar", lambda: find(main, "slider")).queryValue().currentValue = 4
        x, y, width, height = main.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + 4), "key", key], check=True)
        saver.finish()
        stored = read_settings(os.path.join(home, "reefsaver", "settings.reg")).get(SETTINGS_KEY.lower(), {})
        if stored.get("FishCount") != expected:
            fail("after %s the fish count is %r" % (key, stored.get("FishCount")))


def two_dialogs():
    """Two dialogs open at once, OK in one and then in the other: the file holds
    the later one's choices, complete."""
    home = os.path.join(WORK, "config")
    first, second = Saver(["/c"], home), Saver(["/c"], home)
    mains = [first.window("Einstellungen"), second.window("Einstellungen")]
    for main, count, page, box in ((mains[0], 5, 8, "check box"), (mains[1], 17, 6, "radio button")):
        select_page(main, 2)
        wait_for("the fish count trackbar", lambda: find(main, "slider")).queryValue().currentValue = count
        select_page(main, page)
        if box == "check box":
            click(find(main, "check box"))  # sound off in the first
        else:
            click(find(main, "radio button", "wolkenlos"))  # cloudless sky in the second
    click(find(mains[0], "push button", "OK"))
    first.finish()
    click(find(mains[1], "push button", "OK"))
    second.finish()
    stored = read_settings(os.path.join(home, "reefsaver", "settings.reg")).get(SETTINGS_KEY.lower(), {})
    expected = {"BoidModel": 0, "BoidCount": 10, "FishCount": 17, "BirdGull": 1, "CameraPos": 0, "CameraSpeed": 4,
                "CameraFixTop": 30, "CameraFixBottom": 30, "SkyType": 1, "SoundOn": 1}
    if stored != expected:
        fail("stored %r, expected the second dialog's %r" % (stored, expected))


def terminate():
    """SIGTERM (as the screensaver daemon sends) ends an open dialog as Cancel."""
    home = os.path.join(WORK, "config")
    saver = Saver(["/c"], home)
    main = saver.window("Einstellungen")
    select_page(main, 2)
    wait_for("the fish count trackbar", lambda: find(main, "slider")).queryValue().currentValue = 2
    saver.process.terminate()
    saver.finish(seconds=15)
    if read_settings(os.path.join(home, "reefsaver", "settings.reg")).get(SETTINGS_KEY.lower()):
        fail("a terminated dialog stored settings")


def sensitive(node):
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def english():
    """The dialog in an English locale: every caption in English, each page
    photographed; the set entries carry their English names as accessible names
    and tooltips; a scroll bar is usable only where the entries overflow."""
    home = os.path.join(WORK, "config")
    saver = Saver(["/c"], home)
    main = saver.window("Settings")
    titles = [cell.name for cell in find_all(main, "table cell")]
    expected = ["Welcome", "School", "Fish", "Birds", "Animals", "More", "Sky", "Camera", "Sound", "Screen settings"]
    if titles != expected:
        fail("page list %r" % titles)
    for name in ("OK", "Cancel"):
        if find(main, "push button", name) is None:
            fail("no %s button" % name)
    screenshot(main, "config-en-main")
    # The generated sets: nine fish sets overflow their page, two schools,
    # two animals and two other sets fit theirs.
    usable_bars = {"boid": False, "fish": True, "animals": False, "diverse": False}
    for index, page in enumerate(PAGES):
        select_page(main, index)
        if page == "fish":
            box = wait_for("the clownfish entry", lambda: find(main, "check box", "Clownfish"))
            if box.description != "Clownfish":
                fail("the clownfish entry's tooltip is %r" % box.description)
        if page == "birds":
            gulls = find(main, "check box", "Gulls over the island")
            if gulls is None or not checked(gulls):
                fail("the gull check box has no name or is unchecked")
        if page == "animals":
            names = sorted(r.name for r in find_all(main, "radio button"))
            if names != ["Green sea turtle", "Moray eel"]:
                fail("animal entries %r" % names)
        if page == "sky" and find(main, "radio button", "Clear") is None:
            fail("the sky page is not in English")
        if page in usable_bars:
            bar = wait_for("the scroll bar", lambda: find(main, "scroll bar"))
            if sensitive(bar) != usable_bars[page]:
                fail("the %s page's scroll bar is %s" % (page, "usable" if sensitive(bar) else "greyed"))
        screenshot(main, "config-en-%d-%s" % (index, page))
    press(find(main, "table cell", "Screen settings"))
    screen = saver.window("Screen settings")
    if wait_for("the English screen settings", lambda: find(screen, "check box", "Keep the current resolution")) is None:
        fail("the screen settings are not in English")
    time.sleep(0.5)  # the new window is mapped and placed before it is photographed
    screenshot(screen, "screen-settings-en")
    click(find(screen, "push button", "Cancel"))
    wait_for("the screen settings to close", lambda: find(saver.app, "frame", "Screen settings") is None)
    click(find(main, "push button", "Cancel"))
    saver.finish()


def no_switch():
    home = os.path.join(WORK, "config")
    saver = Saver([], home)
    main = saver.window("Einstellungen")
    if len(find_all(main, "table cell")) != 10:
        fail("no page list without a switch")
    click(find(main, "push button", "Abbrechen"))
    saver.finish()
    if read_settings(os.path.join(home, "reefsaver", "settings.reg")).get(SETTINGS_KEY.lower()):
        fail("Cancel wrote settings")


def no_data_folder():
    """A program with no data folder beside it: the settings dialog cannot run, and
    says why in a box instead; the program then ends with the failed start's 1."""
    lonely = os.path.join(WORK, "lonely")
    os.makedirs(lonely)
    program = os.path.join(lonely, "reefsaver_plain")
    subprocess.run(["cp", PROGRAM, program], check=True)
    os.symlink(os.path.join(BIN, "modules"), os.path.join(lonely, "modules"))
    home = os.path.join(WORK, "config")
    saver = Saver(["/c"], home, program)
    alert = wait_for("the message", lambda: find(saver.app, "alert"), 30,
                     on_timeout=lambda: open(saver.log).read())
    text = " ".join(label.name for label in find_all(alert, "label"))
    if "data folder" not in text or lonely + "/Marevo2/" not in text:
        fail("the message says %r" % text)
    if find(saver.app, "frame", "Einstellungen") or find(saver.app, "dialog", "Einstellungen"):
        fail("the settings dialog opened without its data")
    screenshot(alert, "config-no-data-folder")
    click(find(alert, "push button"))
    saver.finish(expected=1)
    if os.path.exists(os.path.join(home, "reefsaver", "settings.reg")):
        fail("settings were written without a data folder")


CASES = {"english": english, "no_data_folder": no_data_folder, "walk_and_accept": walk_and_accept, "screen_settings": screen_settings, "keys": keys, "two_dialogs": two_dialogs, "terminate": terminate, "cancel": cancel, "unwritable": unwritable, "no_switch": no_switch}
CASES[CASE]()
print("PASS")
