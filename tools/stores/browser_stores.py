#!/usr/bin/env python3
"""Browsers' bookmark stores, made as the browsers make them, for tests and
benchmarks: Chromium `Bookmarks` files (the browser's own JSON layout),
Firefox `places.sqlite` databases (Firefox's schema, with a write-ahead log
holding changes not yet written into the database), and a tree of profile
folders with `Local State`, `profiles.ini` and `installs.ini`.

usage: browser_stores.py chromium FILE COUNT [SEED]    generated bookmarks
       browser_stores.py places FILE COUNT [SEED]      the same in a database
       browser_stores.py profiles FOLDER [PREFIX]     the test profile tree
PREFIX goes before absolute paths written into the tree, as the program that
reads it sees them ("Z:" under Wine).
"""
import hashlib
import json
import os
import random
import shutil
import sqlite3
import sys
import tempfile
import zlib

# Microseconds from 1601-01-01 to 1970-01-01.
WINDOWS_EPOCH = 11644473600 * 1000000
# Stands for a byte that is no UTF-8 in a title (the browser writes such titles).
STRAY = "@STRAY@"


def chromium_time(unix_seconds):
    return str(unix_seconds * 1000000 + WINDOWS_EPOCH) if unix_seconds else "0"


class ChromiumFile:
    """Nodes numbered and dated as the browser does; write() gives the bytes."""

    def __init__(self):
        self.next_id = 1
        self.rng = random.Random(7)

    def guid(self):
        return "%08x-%04x-4%03x-a%03x-%012x" % tuple(self.rng.getrandbits(b) for b in (32, 16, 12, 12, 48))

    def node(self, name, added):
        node = {"date_added": chromium_time(added), "date_last_used": "0", "guid": self.guid(),
                "id": str(self.next_id), "name": name}
        self.next_id += 1
        return node

    def url(self, name, url, added, last_used=0):
        node = self.node(name, added)
        node.update(type="url", url=url, date_last_used=chromium_time(last_used))
        return node

    def folder(self, name, children, added=1700000000):
        node = self.node(name, added)
        node.update(type="folder", children=children, date_modified=chromium_time(added))
        return node

    def write(self, bar, other, synced, extra_roots=None):
        roots = {"bookmark_bar": self.folder("Bookmarks bar", bar), "other": self.folder("Other bookmarks", other),
                 "synced": self.folder("Mobile bookmarks", synced)}
        roots.update(extra_roots or {})
        document = {"checksum": self.checksum(roots), "roots": roots, "version": 1}
        # The browser's writer: three blanks a level, keys sorted, CR LF on Windows.
        text = json.dumps(document, indent=3, sort_keys=True, ensure_ascii=False, separators=(",", ": "))
        return text.replace("\n", "\r\n").encode("utf-8").replace(STRAY.encode(), b"\xe9") + b"\r\n"

    def checksum(self, roots):
        md5 = hashlib.md5()

        def add(node):
            md5.update(node["id"].encode())
            md5.update(node["name"].encode("utf-16-le"))
            if node["type"] == "url":
                md5.update(b"url" + node["url"].encode())
            else:
                md5.update(b"folder")
                for child in node["children"]:
                    add(child)

        for key in ("bookmark_bar", "other", "synced"):
            add(roots[key])
        return md5.hexdigest()


WORDS = ("news", "rust", "garden", "recipes", "travel", "music", "python", "linux", "photo", "chess", "maps",
         "Köln", "Zürich", "日本", "москва", "weather", "science", "history", "football", "design")


def generated_tree(count, seed):
    """(folder path, title, url, added, last visit, tags, keyword) in tree order."""
    rng = random.Random(seed)
    entries = []
    for i in range(count):
        depth = rng.choice((0, 0, 1, 2))
        folders = tuple("%s %d" % (WORDS[(i // 500 + d) % len(WORDS)].title(), d) for d in range(depth))
        title = " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 3))) + " %d" % i
        url = "https://www.%s-%d.example/%s/%d" % (rng.choice(WORDS[:11]), i % 997, rng.choice(WORDS[:11]), i)
        added = 1500000000 + rng.randrange(200000000)
        visit = added + rng.randrange(1000000) if rng.random() < 0.5 else 0
        tags = tuple(rng.sample(WORDS[:11], rng.randint(0, 2)))
        entries.append((folders, title, url, added, visit, tags, "k%d" % i if i % 50 == 0 else None))
    entries.sort(key=lambda e: e[0])
    return entries


def generated_chromium(count, seed):
    f = ChromiumFile()
    bar = []
    folders = {(): bar}
    for path, title, url, added, visit, _, _ in generated_tree(count, seed):
        for d in range(1, len(path) + 1):
            if path[:d] not in folders:
                children = []
                folders[path[:d - 1]].append(f.folder(path[d - 1], children))
                folders[path[:d]] = children
        folders[path].append(f.url(title, url, added, visit))
    # A realistic share outside the bar: the first few hundred go to "other".
    return f.write(bar[20:], bar[:20], [])


SCHEMA = """
CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL,
  frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER,
  recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host));
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR,
  visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL,
  frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT,
  foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT,
  preview_image_url TEXT, site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id),
  recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, visit_date INTEGER,
  visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL, triggeringPlaceId INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER,
  PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER,
  position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER,
  lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0,
  syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_bookmarks_deleted (guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER,
  post_data TEXT);
CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER,
  content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0,
  dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);
CREATE INDEX moz_places_hostindex ON moz_places (rev_host);
CREATE INDEX moz_places_visitcount ON moz_places (visit_count);
CREATE INDEX moz_places_frecencyindex ON moz_places (frecency);
CREATE INDEX moz_places_lastvisitdateindex ON moz_places (last_visit_date);
CREATE UNIQUE INDEX moz_places_guid_uniqueindex ON moz_places (guid);
CREATE INDEX moz_places_originidindex ON moz_places (origin_id);
CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);
CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);
CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);
CREATE INDEX moz_bookmarks_itemlastmodifiedindex ON moz_bookmarks (fk, lastModified);
CREATE INDEX moz_bookmarks_dateaddedindex ON moz_bookmarks (dateAdded);
CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);
CREATE UNIQUE INDEX moz_keywords_placepostdata_uniqueindex ON moz_keywords (place_id, post_data);
PRAGMA user_version = 78;
"""

ROOTS = (("root________", 0, ""), ("menu________", 1, "menu"), ("toolbar_____", 1, "toolbar"),
         ("tags________", 1, "tags"), ("unfiled_____", 1, "unfiled"), ("mobile______", 1, "mobile"))
ROOT_IDS = {guid: i + 1 for i, (guid, _, _) in enumerate(ROOTS)}


class Places:
    """Adds bookmarks, folders and tags as Firefox stores them."""

    def __init__(self, db):
        self.db = db
        self.counter = 0
        self.positions = {}
        self.tag_folders = {}
        self.places = {}

    def guid(self):
        self.counter += 1
        return "fx%010d" % self.counter

    def item(self, kind, parent, title, fk=None, added=1700000000):
        position = self.positions.get(parent, 0)
        self.positions[parent] = position + 1
        cursor = self.db.execute(
            "INSERT INTO moz_bookmarks (type, fk, parent, position, title, dateAdded, lastModified, guid) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)", (kind, fk, parent, position, title, added * 1000000, added * 1000000,
                                                self.guid()))
        return cursor.lastrowid

    def place(self, url, last_visit=0):
        if url not in self.places:
            cursor = self.db.execute(
                "INSERT INTO moz_places (url, title, rev_host, last_visit_date, guid, url_hash) VALUES (?, ?, ?, ?, ?, ?)",
                (url, None, "", last_visit * 1000000 or None, self.guid(), zlib.crc32(url.encode())))
            self.places[url] = cursor.lastrowid
        return self.places[url]

    def folder(self, parent, title):
        return self.item(2, parent, title)

    def bookmark(self, parent, title, url, added, last_visit=0, tags=(), keyword=None):
        place = self.place(url, last_visit)
        self.item(1, parent, title, place, added)
        for tag in tags:
            if tag not in self.tag_folders:
                self.tag_folders[tag] = self.folder(ROOT_IDS["tags________"], tag)
            self.item(1, self.tag_folders[tag], None, place, added)
        if keyword:
            self.db.execute("INSERT INTO moz_keywords (keyword, place_id) VALUES (?, ?)", (keyword, place))

    def separator(self, parent):
        self.item(3, parent, "")


def build_places(path, fill, fill_in_log=None):
    """A database made by fill(Places); what fill_in_log adds stays in the
    write-ahead log, as a running browser leaves it."""
    work = tempfile.mkdtemp()
    try:
        db_path = os.path.join(work, "places.sqlite")
        db = sqlite3.connect(db_path)
        db.execute("PRAGMA journal_mode = WAL")
        db.executescript(SCHEMA)
        for i, (guid, parent, title) in enumerate(ROOTS):
            db.execute("INSERT INTO moz_bookmarks (id, type, parent, position, title, dateAdded, lastModified, guid) "
                       "VALUES (?, 2, ?, ?, ?, 0, 0, ?)", (i + 1, parent, max(i - 1, 0), title, guid))
        places = Places(db)
        places.positions[1] = 5
        fill(places)
        db.commit()
        db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
        db.execute("PRAGMA wal_autocheckpoint = 0")
        if fill_in_log:
            fill_in_log(places)
            db.commit()
        # Copied while the connection lives: closing it would empty the log.
        shutil.copyfile(db_path, path)
        if fill_in_log:
            shutil.copyfile(db_path + "-wal", path + "-wal")
        db.close()
    finally:
        shutil.rmtree(work)


def generated_places(path, count, seed):
    def fill(places):
        folders = {}
        for folder_path, title, url, added, visit, tags, keyword in generated_tree(count, seed):
            parent = ROOT_IDS["menu________"]
            for d in range(1, len(folder_path) + 1):
                if folder_path[:d] not in folders:
                    folders[folder_path[:d]] = places.folder(parent, folder_path[d - 1])
                parent = folders[folder_path[:d]]
            places.bookmark(parent, title, url, added, visit, tags, keyword)

    build_places(path, fill)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def local_state(profiles):
    cache = {folder: {"name": name, "is_using_default_name": False, "avatar_icon": "chrome://theme/IDR_PROFILE_AVATAR_26"}
             for folder, name in profiles}
    return json.dumps({"browser": {"enabled_labs_experiments": []},
                       "profile": {"info_cache": cache, "last_used": profiles[0][0]}}, indent=3)


def chrome_work_profile():
    f = ChromiumFile()
    bar = [f.url("Example Domain", "https://example.org/", 1705526400),
           f.folder("News", [f.folder("Tech Weekly", [f.url("Caf" + STRAY + " Tech", "https://cafe.example/tech",
                                                            1600000000, 1700000500)]),
                             f.url("Daily Paper", "https://paper.example/", 1600000100),
                             f.url("No address", "", 1600000200)])]
    other = [f.url("Recipes", "https://food.example/recipes", 1650000000, 1690000000)]
    synced = [f.url("Phone Find", "https://phone.example/find", 1680000000)]
    trash = {"trash": f.folder("Trash", [f.url("Thrown Away", "https://gone.example/", 1680000000)])}
    return f.write(bar, other, synced, trash)


def chrome_simple(title, url, added=1690000000):
    f = ChromiumFile()
    return f.write([f.url(title, url, added)], [], [])


def fill_release(places):
    menu, toolbar, unfiled = ROOT_IDS["menu________"], ROOT_IDS["toolbar_____"], ROOT_IDS["unfiled_____"]
    places.bookmark(toolbar, "Getting Started", "https://www.mozilla.example/start", 1690000000, 1700001000)
    travel = places.folder(menu, "Travel")
    trains = places.folder(travel, "Night Trains")
    places.bookmark(trains, "Sleeper Europe", "https://sleeper.example/", 1691000000, 0, ("rail", "europe"), "night")
    places.separator(travel)
    places.bookmark(travel, "Most Visited", "place:sort=8&maxResults=10", 1691000100)
    places.bookmark(unfiled, "Maps", "https://maps.example/", 1692000000, 0, ("europe",))
    # A bookmark whose folder is gone is in no folder the browser shows.
    gone = places.folder(unfiled, "Gone")
    kept = places.folder(unfiled, "Kept")
    places.bookmark(gone, "Orphan", "https://orphan.example/", 1692000000)
    places.bookmark(kept, "Kept Page", "https://kept.example/", 1692000000)
    places.db.execute("DELETE FROM moz_bookmarks WHERE id = ?", (gone,))


def fill_release_log(places):
    places.bookmark(ROOT_IDS["mobile______"], "Added Just Now", "https://fresh.example/", 1702000000)
    # Added last and moved to the front: the positions, not the ids, give the order.
    toolbar = ROOT_IDS["toolbar_____"]
    places.bookmark(toolbar, "Moved To Front", "https://front.example/", 1702000100)
    places.db.execute("UPDATE moz_bookmarks SET position = (position + 1) % ? WHERE parent = ?",
                      (places.positions[toolbar], toolbar))


def profile_tree(root, prefix):
    local, roaming = os.path.join(root, "Local"), os.path.join(root, "Roaming")
    chrome = os.path.join(local, "Google", "Chrome", "User Data")
    write(os.path.join(chrome, "Local State"), local_state([("Default", "Work"), ("Profile 1", "Home"),
                                                            ("Profile 9", "Gone")]))
    write(os.path.join(chrome, "Default", "Bookmarks"), chrome_work_profile())
    write(os.path.join(chrome, "Default", "AccountBookmarks"), chrome_simple("Account Only", "https://account.example/"))
    write(os.path.join(chrome, "Profile 1", "Bookmarks"), chrome_simple("Home Page", "https://home.example/"))
    # Edge without Local State, its bookmarks kept only encrypted.
    write(os.path.join(local, "Microsoft", "Edge", "User Data", "Default", "EncryptedBookmarks2"), b"v10\x00\x01")
    # Brave with two profiles, the file of its first cut off in the middle.
    brave = os.path.join(local, "BraveSoftware", "Brave-Browser", "User Data")
    write(os.path.join(brave, "Local State"), local_state([("Default", "Default"), ("Profile 2", "Personal")]))
    write(os.path.join(brave, "Default", "Bookmarks"), chrome_simple("Cut Off", "https://cut.example/")[:100])
    write(os.path.join(brave, "Profile 2", "Bookmarks"), chrome_simple("Brave Personal", "https://personal.example/"))
    # Opera's two layouts.
    write(os.path.join(roaming, "Opera Software", "Opera Stable", "Bookmarks"),
          chrome_simple("Opera Top", "https://opera-top.example/"))
    write(os.path.join(roaming, "Opera Software", "Opera GX Stable", "Default", "Bookmarks"),
          chrome_simple("Opera GX Default", "https://gx.example/"))

    firefox = os.path.join(roaming, "Mozilla", "Firefox")
    profiles = os.path.join(firefox, "Profiles")
    absolute = os.path.join(root, "Elsewhere", "moved.profile")
    write(os.path.join(firefox, "profiles.ini"), "\r\n".join([
        "[Install308046B0AF4A39CB]", "Default=Profiles/bbbb.default-release", "Locked=1", "",
        "[Profile3]", "Name=moved", "IsRelative=0", "Path=" + prefix + absolute, "",
        "[Profile2]", "Name=dev-edition-default", "IsRelative=1", "Path=Profiles/cccc.dev-edition-default", "",
        "[Profile1]", "Name=default-release", "IsRelative=1", "Path=Profiles/bbbb.default-release", "",
        "[Profile0]", "Name=default", "IsRelative=1", "Path=Profiles/aaaa.default", "Default=1", "",
        "[Profile5]", "Name=after a gap", "IsRelative=1", "Path=Profiles/eeee.unlisted", "",
        "[General]", "StartWithLastProfile=1", "Version=2", ""]))
    write(os.path.join(firefox, "installs.ini"), "\r\n".join([
        "[308046B0AF4A39CB]", "Default=Profiles/bbbb.default-release", "Locked=1", "",
        "[46F2E1D1A0F0C2B3]", "Default=Profiles/cccc.dev-edition-default", "Locked=1", ""]))
    os.makedirs(os.path.join(profiles, "bbbb.default-release"))
    build_places(os.path.join(profiles, "bbbb.default-release", "places.sqlite"), fill_release, fill_release_log)
    os.makedirs(os.path.join(profiles, "cccc.dev-edition-default"))
    build_places(os.path.join(profiles, "cccc.dev-edition-default", "places.sqlite"),
                 lambda p: p.bookmark(ROOT_IDS["toolbar_____"], "Developer", "https://dev.example/", 1695000000))
    # A database damaged inside: its header is fine, a page is not.
    damaged = os.path.join(profiles, "aaaa.default", "places.sqlite")
    os.makedirs(os.path.dirname(damaged))
    build_places(damaged, lambda p: p.bookmark(ROOT_IDS["menu________"], "Lost", "https://lost.example/", 1600000000))
    with open(damaged, "r+b") as f:
        f.seek(4096 * 3)
        f.write(b"\xff" * 512)
    os.makedirs(absolute)
    build_places(os.path.join(absolute, "places.sqlite"),
                 lambda p: p.bookmark(ROOT_IDS["unfiled_____"], "Moved Profile", "https://moved.example/", 1696000000))
    # Databases that are not Firefox's: no bookmark tables, a view in a table's place.
    os.makedirs(os.path.join(root, "Other"))
    for name, sql in (("plain.sqlite", "CREATE TABLE t (x)"),
                      ("view.sqlite", "CREATE TABLE moz_places (id, url, last_visit_date); CREATE TABLE moz_keywords "
                                      "(id, keyword, place_id); CREATE VIEW moz_bookmarks AS SELECT 1 AS id")):
        db = sqlite3.connect(os.path.join(root, "Other", name))
        db.executescript(sql)
        db.close()
    os.makedirs(os.path.join(profiles, "eeee.unlisted"))
    build_places(os.path.join(profiles, "eeee.unlisted", "places.sqlite"), lambda p: None)


def main(argv):
    if len(argv) >= 4 and argv[1] == "chromium":
        write(argv[2], generated_chromium(int(argv[3]), int(argv[4]) if len(argv) > 4 else 1))
    elif len(argv) >= 4 and argv[1] == "places":
        if os.path.exists(argv[2]):
            os.remove(argv[2])
        generated_places(argv[2], int(argv[3]), int(argv[4]) if len(argv) > 4 else 1)
    elif len(argv) >= 3 and argv[1] == "profiles":
        shutil.rmtree(argv[2], ignore_errors=True)
        profile_tree(argv[2], argv[3] if len(argv) > 3 else "")
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
