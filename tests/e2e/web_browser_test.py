#!/usr/bin/python3
"""The community's web pages in a real browser (headless Chromium through
WebDriver), against a server on a fresh sample database, with the plug-in
run in lumenhost on the same server: one community for browsers and boxes.

    web_browser_test.py SERVER LUMENHOST SAMPLE_DIR LOGO_DIR [SCREENSHOT_DIR]

Everything runs on loopback in a temporary folder removed at the end. With
SCREENSHOT_DIR, the screenshots of the README are written there.
"""
import http.client
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.support.wait import WebDriverWait

SERVER, LUMENHOST, SAMPLE, LOGOS = sys.argv[1:5]
SHOTS = sys.argv[5] if len(sys.argv) > 5 else ""
PASSWORD = "operator-pass-42"
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync"]
PHONE, DESKTOP = (390, 844), (1280, 900)
STEP_SECONDS = 120  # the longest a lumenhost run or a server start may take


class Community:
    """A server on a fresh sample database, on a free loopback port."""

    def __init__(self, folder):
        self.folder = folder
        self.db = os.path.join(folder, "community.db")
        subprocess.run([SERVER, "init", "--db", self.db, "--sample", SAMPLE], check=True,
                       stdout=subprocess.DEVNULL, timeout=STEP_SECONDS)
        subprocess.run([SERVER, "admin-password", "--db", self.db], input=PASSWORD + "\n", text=True,
                       check=True, stdout=subprocess.DEVNULL, timeout=STEP_SECONDS)
        self.process = subprocess.Popen(
            [SERVER, "serve", "--db", self.db, "--listen", "127.0.0.1:0", "--shout-interval", "0",
             "--log", os.path.join(folder, "requests.log")], stdout=subprocess.PIPE, text=True)
        banner = self.process.stdout.readline()
        if not banner.startswith("listening on 127.0.0.1:"):
            raise RuntimeError("server did not start: " + banner)
        self.port = int(banner.rsplit(":", 1)[1])
        self.base = "http://127.0.0.1:%d" % self.port

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def request(self, method, path, body=None, headers=None):
        """(status, headers, body) of one request, redirects not followed."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        try:
            connection.request(method, path, body=body, headers=headers or {})
            response = connection.getresponse()
            return response.status, dict(response.getheaders()), response.read().decode("utf-8", "replace")
        finally:
            connection.close()


class Box:
    """The plug-in in lumenhost under a root of its own, on the community's server."""

    def __init__(self, folder, community):
        self.root = os.path.join(folder, "box")
        for sub in ("var/tmp", "var/keys", "var/tuxbox/plugins", "media/hdd"):
            os.makedirs(os.path.join(self.root, sub), exist_ok=True)
        for logo in ("LumenNews.png", "LumenNews2.png"):
            shutil.copy(os.path.join(LOGOS, logo), os.path.join(self.root, "var/tuxbox/plugins"))
        self.connect_to = "news.corvane.example:80:127.0.0.1:%d" % community.port

    def run(self, keys, nick="Guest"):
        """The screen dumps of a scripted run."""
        with open(os.path.join(self.root, "var/keys/corvane.cfg"), "w") as settings:
            settings.write("lang=1\ndown=/media/hdd/\nnick=%s\n" % nick)
        done = subprocess.run([LUMENHOST, "--root", self.root, "--connect-to", self.connect_to, "--keys", keys,
                               "--dump", "-"], capture_output=True, text=True, timeout=STEP_SECONDS,
                              env={k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")})
        if done.returncode != 0:
            raise AssertionError("lumenhost exit %d: %s" % (done.returncode, done.stderr))
        return done.stdout

    def shouts(self):
        return self.run("5 wait dump")

    def post(self, nick, message):
        self.run("5 wait ok text:%s ok right ok wait" % message, nick)

    def path(self, box_path):
        return os.path.join(self.root, box_path.lstrip("/"))


def browser(profile):
    """Chromium with its profile in `profile`, a folder the test removes."""
    options = Options()
    for flag in CHROMIUM_FLAGS:
        options.add_argument(flag)
    options.add_argument("--user-data-dir=" + profile)
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    service = Service(shutil.which("chromedriver") or "/usr/bin/chromedriver")
    driver = webdriver.Chrome(service=service, options=options)
    driver.set_page_load_timeout(30)
    return driver


class WebCommunityTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="lumen-web-")
        cls.community = Community(cls.folder)
        cls.box = Box(cls.folder, cls.community)
        cls.driver = browser(os.path.join(cls.folder, "chromium"))
        cls.driver.set_window_size(*DESKTOP)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.community.stop()
        shutil.rmtree(cls.folder, ignore_errors=True)

    # Helpers

    def open(self, path):
        self.driver.get(self.community.base + path)

    def setUp(self):
        self.open("/?lang=en")

    def click(self, element):
        """Clicks and waits for the next page."""
        page = self.driver.find_element(By.TAG_NAME, "html")
        element.click()

        def replaced(_):
            try:
                page.is_enabled()
                return False
            except WebDriverException:  # stale, or gone while Chromium swaps documents
                return True

        WebDriverWait(self.driver, 30).until(replaced)

    def text(self):
        return self.driver.find_element(By.TAG_NAME, "body").text

    def submit(self, form_action, fields, button=None):
        form = self.driver.find_element(By.CSS_SELECTOR, 'form[action="%s"]' % form_action)
        for name, value in fields.items():
            field = form.find_element(By.NAME, name)
            if field.tag_name == "select":
                field.find_element(By.CSS_SELECTOR, 'option[value="%s"]' % value).click()
            else:
                field.clear()
                field.send_keys(value)
        if button:
            self.click(form.find_element(By.CSS_SELECTOR, 'button[value="%s"]' % button))
        else:
            self.click(form.find_element(By.CSS_SELECTOR, 'button[type="submit"]'))

    def log_in(self, password=PASSWORD):
        self.open("/admin/login")
        self.submit("/admin/login", {"password": password})

    def log_out(self):
        self.open("/admin")
        self.click(self.driver.find_element(By.CSS_SELECTOR, 'form[action="/admin/logout"] button'))

    def session_cookie(self):
        cookie = self.driver.get_cookie("lumen_session")
        return cookie["value"] if cookie else ""

    def assert_no_script(self):
        self.assertEqual(self.driver.find_elements(By.TAG_NAME, "script"), [])
        self.assertNotEqual(self.driver.title, "pwned")

    def shoot(self, name):
        if not SHOTS:
            return
        for size, tag in ((PHONE, "phone"), (DESKTOP, "desktop")):
            self.driver.set_window_size(*size)
            self.driver.refresh()
            self.driver.save_screenshot(os.path.join(SHOTS, "web-%s-%s.png" % (name, tag)))
        self.driver.set_window_size(*DESKTOP)

    # Cases

    def test_1_visitor_reads_posts_and_the_box_shows_it(self):
        self.open("/")
        self.assertIn("Latest news", self.text())
        self.assertIn("default-src 'none'", self.community.request("GET", "/")[1]["Content-Security-Policy"])
        first = self.driver.find_element(By.CSS_SELECTOR, "article.card h3 a")
        title = first.text
        self.click(first)
        self.assertEqual(self.driver.find_element(By.TAG_NAME, "h1").text, title)
        self.assertIn("After almost four months", self.text())
        self.open("/shouts")
        self.submit("/shouts", {"nick": "WebVisitor", "message": "webhello123"})
        self.assertIn("Your shout is on the board.", self.text())
        self.assertIn("webhello123", self.text())
        self.shoot("shoutbox")
        self.assertIn("webhello123", self.box.shouts())

    def test_2_box_post_is_on_the_web_page(self):
        self.box.post("BoxUser", "boxhello456")
        self.open("/shouts")
        items = [li.text for li in self.driver.find_elements(By.CSS_SELECTOR, "ul.shouts li")]
        self.assertTrue(any("BoxUser" in item and "boxhello456" in item for item in items), items)
        self.open("/?lang=it")
        self.assertIn("Ultime notizie", self.text())
        self.open("/")  # the language is kept in a cookie
        self.assertIn("Ultime notizie", self.text())
        self.open("/?lang=en")
        self.shoot("home")

    def test_3_operator_moderates_edits_news_and_uploads(self):
        self.log_in()
        self.assertIn("Overview", self.text())
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, ".chart svg rect")), 60)
        # A ban: the box's post under that nickname is refused.
        self.open("/admin/shouts")
        self.submit("/admin/shouts/ban", {"nick": "Spammer"})
        self.box.post("spammer", "spam789")
        self.assertNotIn("spam789", self.box.shouts())
        # The same ban on the web, which says why in the page's language.
        self.open("/shouts?lang=fr")
        self.submit("/shouts", {"nick": "SPAMMER", "message": "spam790"})
        self.assertIn("Ce pseudo ne peut pas publier ici.", self.text())
        self.open("/shouts?lang=en")
        self.assertNotIn("spam790", self.text())
        # One shout deleted: gone from the web and the box.
        self.open("/admin/shouts")
        row = [r for r in self.driver.find_elements(By.CSS_SELECTOR, "tr[id^=shout-]") if "webhello123" in r.text][0]
        self.click(row.find_element(By.CSS_SELECTOR, "button.danger"))
        self.open("/shouts")
        self.assertNotIn("webhello123", self.text())
        self.assertNotIn("webhello123", self.box.shouts())
        # A news item, previewed then saved; the box's feed lists it.
        self.open("/admin/news/new")
        fields = {"lang": "en", "title": "Community site opens", "author": "operator",
                  "summary": "Read the news in a browser too.", "body": "The site is open.</p>\nWelcome!</p>"}
        self.submit("/admin/news/save", fields, button="preview")
        self.assertIn("this is how the web shows it", self.text())
        self.shoot("news-editor")
        self.click(self.driver.find_element(By.CSS_SELECTOR, 'button[value="save"]'))
        self.assertIn("Community site opens", self.text())
        self.assertIn("Community site opens", self.box.run("2 wait dump"))
        # Keys emptied, then one uploaded file that the box downloads byte for byte.
        self.open("/admin/files")
        while True:
            buttons = self.driver.find_elements(
                By.XPATH, "//h2[text()='Keys']/following-sibling::div[1]//button[contains(@class,'danger')]")
            if not buttons:
                break
            self.click(buttons[0])
        upload = os.path.join(self.folder, "my keys & more.tar.gz")
        payload = bytes(range(256)) * 64 + b"\r\n--end"
        with open(upload, "wb") as f:
            f.write(payload)
        self.open("/admin/files")
        form = self.driver.find_element(By.CSS_SELECTOR, 'form[action="/admin/files/upload"]')
        form.find_element(By.CSS_SELECTOR, 'option[value="Keys"]').click()
        form.find_element(By.NAME, "file").send_keys(upload)
        form.find_element(By.NAME, "title").send_keys("Fresh keys")
        self.click(form.find_element(By.CSS_SELECTOR, 'button[type="submit"]'))
        self.assertIn("Fresh keys", self.text())
        self.box.run("1 wait down ok wait ok wait ok wait ok")
        downloaded = os.listdir(self.box.path("/media/hdd"))
        self.assertEqual(len(downloaded), 1, downloaded)
        self.assertRegex(downloaded[0], r"^keys-\d{8}-[0-9a-f]{8}\.tar\.gz$")
        with open(os.path.join(self.box.path("/media/hdd"), downloaded[0]), "rb") as f:
            self.assertEqual(f.read(), payload)
        self.open("/admin/log")
        for action in ("logged in", "banned Spammer", "deleted shout", "added news", "uploaded file"):
            self.assertIn(action, self.text())
        self.log_out()

    def test_4_scripts_are_text_everywhere(self):
        script = "<script>document.title='pwned'</script>"
        self.open("/shouts")
        self.submit("/shouts", {"nick": "Mallory", "message": script})
        self.assertIn(script, self.text())
        self.assert_no_script()
        self.log_in()
        self.open("/admin/news/new")
        self.submit("/admin/news/save", {"lang": "en", "title": script, "author": "<b>x</b>",
                                         "body": "<script>document.title='pwned'</script>text"}, button="save")
        self.open("/")
        self.assertIn(script, self.text())
        self.assert_no_script()
        self.click(self.driver.find_element(By.LINK_TEXT, script))
        self.assert_no_script()
        self.log_out()

    def test_5_forged_and_replayed_requests_fail(self):
        # A wrong password: no session, and the next page asks again.
        self.log_in("not-the-password")
        self.assertIn("Wrong password.", self.text())
        self.open("/admin")
        self.assertIn("/admin/login", self.driver.current_url)
        # A post without the CSRF token, with a live session, changes nothing.
        self.log_in()
        cookie = "lumen_session=" + self.session_cookie()
        form = {"Content-Type": "application/x-www-form-urlencoded", "Cookie": cookie}
        status, _, _ = self.community.request("POST", "/admin/shouts/ban", "nick=Forged", form)
        self.assertEqual(status, 403)
        status, _, body = self.community.request("GET", "/admin/shouts", headers={"Cookie": cookie})
        self.assertEqual(status, 200)
        self.assertNotIn("forged", body.lower())
        # After logout the same cookie opens nothing.
        self.log_out()
        status, headers, _ = self.community.request("GET", "/admin", headers={"Cookie": cookie})
        self.assertEqual((status, headers.get("Location")), (303, "/admin/login"))
        token = urllib.parse.quote("x")
        status, _, _ = self.community.request("POST", "/admin/shouts/ban", "nick=Replayed&csrf=" + token, form)
        self.assertEqual(status, 403)
        # A shout posted without the form's token is not stored.
        status, _, _ = self.community.request("POST", "/shouts", "nick=Bot&message=nocsrf",
                                              {"Content-Type": "application/x-www-form-urlencoded"})
        self.assertEqual(status, 403)
        self.assertNotIn("nocsrf", self.community.request("GET", "/shouts")[2])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
