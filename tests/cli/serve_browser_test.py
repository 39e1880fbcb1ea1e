#!/usr/bin/python3
"""serve's web panel in a real browser (Debian's chromium, headless, through chromedriver): open the page, read
back, edit row 1, send, and check the simulated box's wire.

    serve_browser_test.py <serve_sim_host>

Without chromium, chromedriver or selenium this test fails: it never passes by running nothing."""
import subprocess
import sys

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError as e:
    sys.exit(f"FAILED: python3-selenium is missing ({e}); scripts/install-deps.sh installs it")

host = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
failures = []


def check(what, ok, detail=""):
    print(("ok: " if ok else "FAILED: ") + what + ("" if ok else f" ({detail})"))
    if not ok:
        failures.append(what)


def wire():
    host.stdin.write("wire\n")
    host.stdin.flush()
    lines = []
    for line in host.stdout:
        line = line.strip()
        if line == "end":
            return lines
        lines.append(line)
    return lines


driver = None
try:
    port = int(host.stdout.readline().split()[1])
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.get(f"http://127.0.0.1:{port}/")
    status = driver.find_element(By.ID, "status")
    wait = WebDriverWait(driver, 20)

    driver.find_element(By.ID, "read").click()
    wait.until(lambda d: "Read at" in status.text or "fail" in status.text.lower())
    check("Read fills the page", "Read at" in status.text, status.text)
    check("the six queries of a read-back on the wire", wire() == ["30:", "34:", "35:", "38:", "39:", "3F:"])

    row1 = driver.find_element(By.ID, "row1")
    row1.clear()
    row1.send_keys("CAM 3")
    driver.find_element(By.ID, "send").click()
    wait.until(lambda d: "Sent" in status.text or "fail" in status.text.lower())
    check("Send says so", "Sent 8 commands" in status.text, status.text)
    sent = wire()[6:]
    check("eight commands in the panel's order", [c[:2] for c in sent] == ["20", "21", "22", "23", "24", "25", "28", "29"],
          sent)
    check("row 1 on the wire as the text rule makes it: full-width CAM 3", "28:82628260826C81408252" in sent, sent)
finally:
    if driver:
        driver.quit()
    host.stdin.close()
    host.wait(timeout=30)

print(f"{2 + 3 - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
