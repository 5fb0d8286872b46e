"""Brand packages, the region and locale rules, the distribution parameters and
the distribution tag, for real under Wine: the installer's own resources,
copies of it with replaced packages, and signed copies stamped by the tag
writer."""

import http.server
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

import brand_copy
import lite_harness as h

sys.path.insert(0, os.path.join(h.SOURCE_DIR, "tools"))
import stamp_distribution_tag as stamper  # noqa: E402

PACKAGES = os.path.join(h.BUILD_DIR, "resources", "packages")
GEO_KEY = r"HKCU\Control Panel\International\Geo"
BROWSER_KEY = r"HKCU\Software\Korvex\KorvexBrowser"
GEO_IDS = {"UA": "241", "RU": "203", "TR": "235", "KZ": "137", "US": "244"}


def reg(*args, env=None):
    result = h.run_wine(["reg", *args], env)
    return result.returncode, result.stdout.decode("utf-8", "replace").replace("\r", "")


def reg_value(key, name):
    code, out = reg("query", key, "/v", name)
    if code != 0:
        return None
    for line in out.split("\n"):
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[0] == name and parts[1] == "REG_SZ":
            return parts[2] if len(parts) == 3 else ""
    return None


def temp_file(name):
    return os.path.join(h.latest_run_folder(), name)


def remove_outputs():
    for name in ("BrandFile", "PartnerFile", "distrib_info"):
        if os.path.exists(temp_file(name)):
            os.remove(temp_file(name))
    reg("delete", BROWSER_KEY, "/v", "DistribInfoParams", "/f")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def document(name):
    """A brand document as the build configured it (hosts filled in)."""
    with open(os.path.join(PACKAGES, name, "brand_config"), "rb") as f:
        return json.loads(f.read())


class PackageServer:
    """A local server that answers every GET with a small body, so that the
    silent road downloads at once (and the package is then not trusted)
    instead of pausing between failed attempts."""

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            body = b"not a setup package"
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    def __enter__(self):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), self.Handler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        return self

    def host(self):
        return "127.0.0.1:%d" % self.server.server_address[1]

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        return False


SERVER = None


def run(exe, args=(), env=None):
    h.clear_log()
    hosts = {name: SERVER.host() for name in ("LITE_TEST_DOWNLOAD_HOST", "LITE_TEST_STATS_HOST",
                                               "LITE_TEST_CLICK_STATS_HOST", "LITE_TEST_LEGAL_HOST")}
    result = h.run_windows(exe, ["--silent", *args], env={**hosts, **(env or {})}, timeout=300)
    return result, h.log_messages()


def messages_of(records, function):
    return [m for _, f, m in records if f == function]


def gcab(cab, member_name, content):
    work = tempfile.mkdtemp()
    try:
        path = os.path.join(work, member_name)
        with open(path, "wb") as f:
            f.write(content)
        subprocess.run(["gcab", "-c", "-z", "-n", cab, path], check=True)
    finally:
        shutil.rmtree(work)


class BrandTestBase(unittest.TestCase):
    def setUp(self):
        # Resource 319 names the build's download host; this copy's names the
        # local package server.
        self.exe = brand_copy.program("lite_installer_test.exe", SERVER.host())
        self.work = tempfile.mkdtemp(prefix="brand_test_")
        remove_outputs()

    def tearDown(self):
        shutil.rmtree(self.work)

    def copy_with(self, replacements):
        """A copy of the installer with "BIN" resources replaced (bytes) or
        deleted (None)."""
        copy = os.path.join(self.work, "installer_%d.exe" % len(os.listdir(self.work)))
        shutil.copy(self.exe, copy)
        for resource, content in replacements.items():
            args = [copy, resource]
            if content is not None:
                data = os.path.join(self.work, resource + ".bin")
                with open(data, "wb") as f:
                    f.write(content)
                args.append(data)
            result = h.run_windows(h.program("bin_resource_editor.exe"), args)
            self.assertEqual(0, result.returncode, resource)
        return copy

    def assert_complete(self, records):
        """The record ended complete: SetDefaults wrote its eight records."""
        defaults = messages_of(records, "BrandPackageInfo::SetDefaults")
        self.assertEqual(8, len(defaults), records)
        self.assertTrue(defaults[0].startswith("Default language: ") and len(defaults[0]) > 18)
        self.assertTrue(defaults[2].startswith("Setup url: http://"))


class BrandPackagesTest(BrandTestBase):
    def test_named_brand_package_is_written_and_read(self):
        # The tb document's setup address names the build's real host; a
        # given (unsigned) package spares the run five failed downloads.
        given = temp_file("brand_test_unsigned_setup.exe")
        with open(given, "wb") as f:
            f.write(b"MZ not a signed setup")
        _, records = run(self.exe, ["--brand-name=tb", "--browser-setup=" + h.windows_path(given)])
        package = read(os.path.join(PACKAGES, "tb.cab"))
        doc = document("tb")
        messages = messages_of(records, "BrandPackageInfo::GetInfoFromResources")
        self.assertEqual(["Partner package is empty.", "Fetching defined tb package",
                          "Extract Brand package: %s\\BrandFile [%dB]"
                          % (h.windows_path(h.latest_run_folder()), len(package))],
                         messages)
        self.assertIn(("WARNING", "BrandPackageInfo::GetInfoFromResources", "Partner package is empty."),
                      records)
        self.assertEqual(package, read(temp_file("BrandFile")))
        self.assertFalse(os.path.exists(temp_file("PartnerFile")))
        summary = messages_of(records, "BrandPackageInfo::GetBrandInfo")
        self.assertEqual(["Brand id: tb", "Brand name: tb", "Setup url: " + doc["install"]["setup_url"],
                          "Default language: tr", "Show international title: 0",
                          "Send browser's statistics: 1", "Make browser default after import: 1",
                          "Autodetect language: 0", "Is ppapi: 1"], summary)
        self.assertTrue(doc["install"]["setup_url"].endswith("/browser/tb/browser-setup.arc"))
        self.assert_complete(records)

    def test_default_package_and_user_language(self):
        package = read(os.path.join(PACKAGES, "default.cab"))
        shipped = json.loads(read(os.path.join(PACKAGES, "default", "brand_config")))
        self.assertTrue(shipped["setup_url"].endswith("/browser/int/flash/browser-setup.arc"), shipped)
        package = brand_copy.package(SERVER.host())
        for locale, language in (("de_DE.UTF-8", "de"), ("en_GB.UTF-8", "en"), ("pt_BR.UTF-8", "pt-BR")):
            with self.subTest(locale=locale):
                _, records = run(self.exe, env={"LC_ALL": locale, "LANG": locale})
                self.assertIn("Fetching default package", messages_of(records, "BrandPackageInfo::GetInfoFromResources"))
                self.assertEqual(package, read(temp_file("BrandFile")))
                summary = messages_of(records, "BrandPackageInfo::GetBrandInfo")
                self.assertEqual(["Brand id: int", "Brand name: int"], summary[:2])
                self.assertEqual("Default language: en", summary[3])
                self.assertIn("Show international title: 1", summary)
                # The international brand follows the user's language.
                defaults = messages_of(records, "BrandPackageInfo::SetDefaults")
                self.assertEqual("Default language: " + language, defaults[0])

    def test_missing_named_package_falls_back_to_the_default(self):
        for switch in ("Auto", "nosuchbrand"):
            with self.subTest(switch=switch):
                _, records = run(self.exe, ["--brand-name=" + switch])
                messages = messages_of(records, "BrandPackageInfo::GetInfoFromResources")
                self.assertEqual("Fetching defined %s package" % switch, messages[1])
                self.assertEqual("Fetching default package", messages[2])
                self.assertIn("Brand id: int", messages_of(records, "BrandPackageInfo::GetBrandInfo"))


class ReplacedPackagesTest(BrandTestBase):
    def test_partner_document_wins_over_brand_document(self):
        partner_cab = os.path.join(self.work, "partner.cab")
        gcab(partner_cab, "partner_config",
             b'{"brand_id": "x", "partner_id": "p1", "brand_name": "", "languages": {"interface": "de"},'
             b' "setup_url": "http://%s/partner/setup.arc"}' % SERVER.host().encode())
        copy = self.copy_with({"320": read(partner_cab)})
        _, records = run(copy, ["--brand-name=tb"])
        messages = messages_of(records, "BrandPackageInfo::GetInfoFromResources")
        self.assertTrue(messages[0].startswith("Extract Partner package: "), messages)
        self.assertTrue(messages[0].endswith("PartnerFile [%dB]" % len(read(partner_cab))))
        self.assertEqual(read(partner_cab), read(temp_file("PartnerFile")))
        summaries = messages_of(records, "BrandPackageInfo::GetBrandInfo")
        self.assertEqual(18, len(summaries))
        self.assertEqual(["Brand id: x", "Brand name: "], summaries[:2])
        # After the brand package: partner values kept, empty ones filled.
        self.assertEqual(["Brand id: x", "Brand name: tb"], summaries[9:11])
        self.assertEqual("Default language: de", summaries[12])
        self.assertEqual("Setup url: http://%s/partner/setup.arc" % SERVER.host(), summaries[11])

    def test_corrupt_and_unparsable_packages_leave_the_defaults(self):
        tb = read(os.path.join(PACKAGES, "tb.cab"))
        not_json = os.path.join(self.work, "not_json.cab")
        gcab(not_json, "brand_config", b'{"brand_id": "tb", oops')
        cases = {
            "truncated cabinet": (tb[: len(tb) - 40], 0),
            "flipped data byte": (tb[:-20] + bytes([tb[-20] ^ 0xFF]) + tb[-19:], None),
            "no cabinet at all": (b"MSCF" + b"\xff" * 60, 0),
            "document that is not JSON": (read(not_json), 9),
        }
        for name, (content, summary_count) in cases.items():
            with self.subTest(case=name):
                copy = self.copy_with({"BRAND_TB": content})
                result, records = run(copy, ["--brand-name=tb"])
                self.assertIn(result.returncode, (400, 401, 402), records)
                self.assertEqual(content, read(temp_file("BrandFile")))
                summary = messages_of(records, "BrandPackageInfo::GetBrandInfo")
                if summary_count is not None:
                    self.assertEqual(summary_count, len(summary))
                if summary:
                    self.assertEqual("Brand id: ", summary[0])
                defaults = messages_of(records, "BrandPackageInfo::SetDefaults")
                self.assertEqual("Brand id: korvex", defaults[1])
                self.assert_complete(records)

    def test_no_brand_package_at_all(self):
        copy = self.copy_with({"319": None})
        _, records = run(copy)
        self.assertIn(("WARNING", "BrandPackageInfo::GetInfoFromResources", "Brand package is empty."), records)
        self.assertFalse(os.path.exists(temp_file("BrandFile")))
        self.assertEqual([], messages_of(records, "BrandPackageInfo::GetBrandInfo"))
        self.assert_complete(records)


class RegionTest(BrandTestBase):
    def setUp(self):
        super().setUp()
        self.saved_nation = reg_value(GEO_KEY, "Nation")

    def tearDown(self):
        if self.saved_nation is None:
            reg("delete", GEO_KEY, "/v", "Nation", "/f")
        else:
            reg("add", GEO_KEY, "/v", "Nation", "/t", "REG_SZ", "/d", self.saved_nation, "/f")
        super().tearDown()

    def region_copy(self):
        """The installer with every region brand's package replaced by one
        whose setup address is the local server."""
        if getattr(self, "copy", None) is None:
            self.packages = {}
            for brand in ("korvex", "ua_uk", "ua_ru", "tb"):
                cab = os.path.join(self.work, brand + ".cab")
                gcab(cab, "brand_config", b'{"brand_id": "test-%s", "setup_url": "http://%s/%s.arc"}'
                     % (brand.encode(), SERVER.host().encode(), brand.encode()))
                self.packages[brand] = read(cab)
            self.copy = self.copy_with({"BRAND_" + b.upper(): c for b, c in self.packages.items()})
        return self.copy

    def run_auto(self, region, locale):
        # Wine rewrites the Geo values whenever a process starts under a
        # locale other than the last one it saw; "reg" itself starts under
        # the run's locale, so the region it writes is the one the run sees.
        env = {"LC_ALL": locale, "LANG": locale}
        self.assertEqual(0, reg("add", GEO_KEY, "/v", "Nation", "/t", "REG_SZ", "/d", GEO_IDS[region], "/f",
                                env=env)[0])
        return run(self.region_copy(), ["--brand-name=auto"], env=env)[1]

    def test_region_and_locale_pick_the_brand(self):
        cases = [
            ("UA", "uk_UA.UTF-8", "uk", "ua_uk", "UA_UK"),
            ("UA", "ru_RU.UTF-8", "ru", "ua_ru", "UA_RU"),
            ("RU", "uk_UA.UTF-8", "uk", "ua_uk", "UA_UK"),
            ("RU", "en_US.UTF-8", "en", "korvex", "KORVEX"),
            ("TR", "de_DE.UTF-8", "de", "tb", "TB"),
            ("US", "tr_TR.UTF-8", "tr", "tb", "TB"),
        ]
        for region, locale, code, brand, resource in cases:
            with self.subTest(region=region, locale=locale):
                records = self.run_auto(region, locale)
                detect = messages_of(records, "`anonymous-namespace'::AutodetectBrandName")
                self.assertEqual(["User region: " + region, "User locale: " + code,
                                  "Detected brand-name: " + brand], detect)
                self.assertIn("Fetching autodetected %s package" % resource,
                              messages_of(records, "BrandPackageInfo::GetInfoFromResources"))
                self.assertEqual(self.packages[brand], read(temp_file("BrandFile")))
                self.assertEqual("Brand id: test-" + brand, messages_of(records, "BrandPackageInfo::GetBrandInfo")[0])

    def test_unknown_region_and_locale_fall_back_to_korvex(self):
        records = self.run_auto("KZ", "kk_KZ.UTF-8")
        detect = messages_of(records, "`anonymous-namespace'::AutodetectBrandName")
        self.assertEqual(["User region: KZ", "User locale: kk",
                          "Didn't found brand-name. Use default: korvex"], detect)
        self.assertIn("Fetching autodetected KORVEX package",
                      messages_of(records, "BrandPackageInfo::GetInfoFromResources"))
        self.assertEqual("Brand id: test-korvex", messages_of(records, "BrandPackageInfo::GetBrandInfo")[0])
        # A locale outside the table (English, United Kingdom) gives no code.
        records = self.run_auto("KZ", "en_GB.UTF-8")
        self.assertEqual("User locale: ", messages_of(records, "`anonymous-namespace'::AutodetectBrandName")[1])


class SignedCopy:
    """A throwaway self-signed certificate and signed copies of a program."""

    def __init__(self, work):
        self.work = work
        self.key = os.path.join(work, "key.pem")
        self.cert = os.path.join(work, "cert.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", self.key,
                        "-out", self.cert, "-days", "2", "-subj", "/CN=Lite Installer Tag Test"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def sign(self, exe, name):
        out = os.path.join(self.work, name)
        subprocess.run(["osslsigncode", "sign", "-certs", self.cert, "-key", self.key, "-h", "sha256",
                        "-in", exe, "-out", out], check=True, stdout=subprocess.DEVNULL)
        return out

    def verify(self, exe):
        return subprocess.run(["osslsigncode", "verify", "-CAfile", self.cert, "-in", exe],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, check=False)

    def stamp(self, signed, name, text):
        out = os.path.join(self.work, name)
        result = subprocess.run([sys.executable, os.path.join(h.SOURCE_DIR, "tools", "stamp_distribution_tag.py"),
                                 signed, out, text], check=False, stderr=subprocess.PIPE)
        if result.returncode != 0:
            raise AssertionError(result.stderr)
        return out


class DistributionParametersTest(BrandTestBase):
    def setUp(self):
        super().setUp()
        self.signing = SignedCopy(self.work)
        self.signed = self.signing.sign(self.exe, "signed.exe")

    def distrib_info(self):
        with open(temp_file("distrib_info"), "rb") as f:
            text = f.read().decode("utf-8")
        return text, json.loads(text)

    def test_switch_parameters_go_to_the_file_and_the_registry(self):
        _, records = run(self.exe, ["--distr-info-params=a=1&b&=x&a=2"])
        text, members = self.distrib_info()
        self.assertEqual({"": "x", "a": "2", "b": ""}, members)
        self.assertIn('\n  "a": "2"', text)
        self.assertEqual("a=1&b&=x&a=2", reg_value(BROWSER_KEY, "DistribInfoParams"))
        self.assertEqual([], messages_of(records, "`anonymous-namespace'::CreateJsonFromDistribParams"))

    def test_parameters_outside_printable_ascii_are_ignored(self):
        earlier = b'{"lang": "from an earlier run"}'
        earlier_path = temp_file("distrib_info")
        with open(earlier_path, "wb") as f:
            f.write(earlier)
        # "\u00e9" would narrow to the byte 0xE9: the whole text is ignored.
        _, records = run(self.exe, ["--distr-info-params=lang=tr&custo=caf\u00e9"])
        self.assertIn(("WARNING", "DistribInfoParams::Load",
                       'The switch "distr-info-params" ignored: it holds characters other than printable ASCII.'),
                      records)
        self.assertEqual([], messages_of(records, "`anonymous-namespace'::CreateJsonFromDistribParams"))
        self.assertNotEqual(earlier_path, temp_file("distrib_info"), "the run has a folder of its own")
        self.assertFalse(os.path.exists(temp_file("distrib_info")), "nothing is written for this run")
        self.assertEqual(earlier, read(earlier_path), "an earlier run's file is left alone")
        self.assertIsNone(reg_value(BROWSER_KEY, "DistribInfoParams"))
        self.assertNotEqual("Default language: tr", messages_of(records, "BrandPackageInfo::SetDefaults")[0])

    def test_stamped_copy_stays_signed_and_its_tag_is_used(self):
        stamped = self.signing.stamp(self.signed, "stamped.exe", "lang=tr&banerid=7")
        verify = self.signing.verify(stamped)
        self.assertEqual(0, verify.returncode, verify.stdout)
        self.assertIn(b"Signature verification: ok", verify.stdout)
        with open(stamped, "rb") as f:
            data = f.read()
        self.assertIn(b"Kvct\x00\x11lang=tr&banerid=7", data)

        # The international brand would follow the user's language; the
        # tag's "lang" wins.
        _, records = run(stamped, env={"LC_ALL": "de_DE.UTF-8", "LANG": "de_DE.UTF-8"})
        self.assertEqual({"banerid": "7", "lang": "tr"}, self.distrib_info()[1])
        self.assertEqual("lang=tr&banerid=7", reg_value(BROWSER_KEY, "DistribInfoParams"))
        self.assertEqual("Brand id: int", messages_of(records, "BrandPackageInfo::GetBrandInfo")[0])
        self.assertEqual("Default language: tr", messages_of(records, "BrandPackageInfo::SetDefaults")[0])

        # The switch wins over the tag.
        _, records = run(stamped, ["--distr-info-params=lang=de"])
        self.assertEqual({"lang": "de"}, self.distrib_info()[1])
        self.assertEqual("Default language: de", messages_of(records, "BrandPackageInfo::SetDefaults")[0])

    def test_restamping_replaces_the_tag(self):
        once = self.signing.stamp(self.signed, "once.exe", "lang=tr&banerid=7")
        twice = self.signing.stamp(once, "twice.exe", "lang=uk")
        self.assertEqual(0, self.signing.verify(twice).returncode)
        run(twice)
        self.assertEqual({"lang": "uk"}, self.distrib_info()[1])

    def test_empty_lang_parameter_lets_the_user_locale_decide(self):
        stamped = self.signing.stamp(self.signed, "empty_lang.exe", "lang=&custo=1")
        _, records = run(stamped, env={"LC_ALL": "ja_JP.UTF-8", "LANG": "ja_JP.UTF-8"})
        self.assertEqual("Default language: ja", messages_of(records, "BrandPackageInfo::SetDefaults")[0])

    def test_files_without_a_usable_tag_give_no_parameters(self):
        stamped = self.signing.stamp(self.signed, "to_break.exe", "lang=tr&banerid=7")
        with open(stamped, "rb") as f:
            data = bytearray(f.read())
        at = data.index(b"Kvct")
        huge = bytearray(data)
        huge[at + 4:at + 6] = b"\xff\xff"
        bad_magic = bytearray(data)
        bad_magic[at:at + 4] = b"Kvcx"
        cases = {"unsigned": read(self.exe), "signed without tag": read(self.signed),
                 "huge length": bytes(huge), "wrong magic": bytes(bad_magic)}
        for name, content in cases.items():
            with self.subTest(case=name):
                remove_outputs()
                path = os.path.join(self.work, "case.exe")
                with open(path, "wb") as f:
                    f.write(content)
                result, records = run(path)
                self.assertIn(result.returncode, (400, 401, 402))
                self.assertFalse(os.path.exists(temp_file("distrib_info")))
                self.assertIsNone(reg_value(BROWSER_KEY, "DistribInfoParams"))
                self.assert_complete(records)

    def test_writer_refuses_files_it_cannot_stamp(self):
        with self.assertRaises(stamper.StampError):
            stamper.stamp(read(self.exe), b"lang=tr")
        with self.assertRaises(stamper.StampError):
            stamper.stamp(b"not a program at all" * 10, b"lang=tr")
        with self.assertRaises(stamper.StampError):
            stamper.stamp(read(self.signed), b"x" * 70000)
        stamped = stamper.stamp(read(self.signed), b"a=1")
        (pe,) = struct.unpack_from("<I", stamped, 0x3C)
        (magic,) = struct.unpack_from("<H", stamped, pe + 24)
        entry, size = struct.unpack_from("<II", stamped, pe + stamper.SECURITY_DIRECTORY_OFFSETS[magic])
        self.assertEqual(len(stamped), entry + size)
        self.assertEqual(0, size % 8)
        self.assertEqual(size, struct.unpack_from("<I", stamped, entry)[0])


if __name__ == "__main__":
    with PackageServer() as server:
        SERVER = server
        unittest.main()
