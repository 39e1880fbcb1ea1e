#include "cli/serve/web_panel.h"

#include <nlohmann/json.hpp>

#include <cstdio>

#include "cli/settings.h"
#include "protocol/colour_palette.h"
#include "protocol/command_codes.h"
#include "protocol/product.h"

namespace sw::cli::serve {

namespace {

// ASCII only: narrow literals of this build are code page 932. The Japanese colour names come with the palette.
// (Three literals: MSVC takes at most 16 KB in one.)
constexpr const char* kHead = R"page(<!doctype html>
<html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Stampwright</title>
<style>
body { font: 16px system-ui, sans-serif; margin: 0 auto; max-width: 34em; padding: 0.75em; background: #f4f4f4; }
h1 { font-size: 1.1em; margin: 0 0 0.5em; }
fieldset { border: 1px solid #bbb; border-radius: 6px; margin: 0 0 0.75em; padding: 0.5em 0.75em; background: #fff; }
legend { font-weight: 600; }
label { display: block; margin: 0.3em 0; }
.row { display: flex; gap: 0.5em; align-items: center; }
.row input[type=text] { flex: 1; font-size: 1.1em; padding: 0.35em; min-width: 0; }
.count { font-variant-numeric: tabular-nums; color: #555; min-width: 3.5em; text-align: right; }
.count.over { color: #b00; font-weight: 600; }
select, input[type=number] { font-size: 1em; padding: 0.3em; }
input[type=number] { width: 6em; }
.swatch { display: inline-block; width: 1.6em; height: 1.6em; border: 1px solid #333; border-radius: 3px; }
.grid { display: grid; grid-template-columns: auto 1fr; gap: 0.4em 0.75em; align-items: center; }
.sizes label { display: inline-block; margin-right: 0.9em; }
.buttons { display: flex; gap: 0.75em; }
button { flex: 1; font-size: 1.1em; padding: 0.7em; border-radius: 6px; border: 1px solid #555; background: #fff; }
button.primary { background: #1d5fbf; color: #fff; border-color: #1d5fbf; }
button:disabled { opacity: 0.5; }
#status { margin-top: 0.75em; padding: 0.5em; min-height: 1.4em; background: #fff; border-radius: 6px; }
#status.bad { background: #fde8e8; color: #900; }
</style></head>
)page";

constexpr const char* kBody = R"page(<body>
<h1>Stampwright: ZEL-OT40</h1>
<fieldset><legend>Text</legend>
<label for="row1">Row 1</label>
<div class="row"><input type="text" id="row1" autocomplete="off"><span class="count" id="row1Count"></span></div>
<label for="row2">Row 2</label>
<div class="row"><input type="text" id="row2" autocomplete="off"><span class="count" id="row2Count"></span></div>
</fieldset>
<fieldset><legend>Colours</legend><div class="grid">
<label for="colour1">Row 1</label><div class="row"><span class="swatch" id="colour1Swatch"></span><select id="colour1"></select></div>
<label for="colour2">Row 2</label><div class="row"><span class="swatch" id="colour2Swatch"></span><select id="colour2"></select></div>
</div></fieldset>
<fieldset><legend>Position and size</legend><div class="grid">
<label for="h">H</label><input type="number" id="h" min="0" max="2047" inputmode="numeric">
<label for="v">V</label><input type="number" id="v" min="0" max="2047" inputmode="numeric">
</div>
<div class="sizes">Size:
<label><input type="radio" name="size" value="1">x1</label><label><input type="radio" name="size" value="2">x2</label>
<label><input type="radio" name="size" value="3">x3</label><label><input type="radio" name="size" value="4">x4</label>
</div>
<label><input type="checkbox" id="halftone"> Halftone background</label>
</fieldset>
<div class="buttons"><button id="read">Read</button><button id="send" class="primary" disabled>Send</button></div>
<div id="status" role="status">Not read yet: Read takes the box's settings.</div>
)page";

constexpr const char* kScript = R"page(<script>
"use strict";
const palette = @PALETTE@;
const maxCells = @MAXCELLS@, maxPosition = @MAXPOSITION@;
const $ = (id) => document.getElementById(id);
let token = localStorage.getItem("stampwrightToken") || "";
let lastRead = null;
// Send stays off until the page shows the box's settings: a fresh page would send its blank rows.
let filled = false;

function say(text, bad) { $("status").textContent = text; $("status").className = bad ? "bad" : ""; }
function clock() { return new Date().toLocaleTimeString(); }

async function api(method, path, body) {
  for (let attempt = 0; attempt < 2; attempt++) {
    const headers = {};
    if (token) headers.Authorization = "Bearer " + token;
    if (body !== undefined) headers["Content-Type"] = "application/json";
    const r = await fetch(path, { method, headers, body: body === undefined ? undefined : JSON.stringify(body) });
    if (r.status === 401 && attempt === 0) {
      const given = prompt("This server asks for its token (serve printed it when it started):");
      if (!given) throw new Error("no token given");
      token = given.trim();
      localStorage.setItem("stampwrightToken", token);
      continue;
    }
    const data = await r.json().catch(() => ({}));
    return { status: r.status, data };
  }
  throw new Error("the token was refused");
}

function fillColours() {
  for (const id of ["colour1", "colour2"]) {
    const select = $(id);
    for (const c of palette) {
      const option = document.createElement("option");
      option.value = c.index;
      option.textContent = c.index + " " + c.name + " (" + c.nameJapanese + ")";
      select.appendChild(option);
    }
    select.addEventListener("change", () => swatch(id));
    swatch(id);
  }
}
function swatch(id) { $(id + "Swatch").style.background = palette[$(id).value].rgb; }

function countCells(id) {
  const n = [...$(id).value].length;
  $(id + "Count").textContent = n + "/" + maxCells;
  $(id + "Count").className = n > maxCells ? "count over" : "count";
}

// Only the keys a document holds change the controls: a send event carries just what was sent.
function apply(doc) {
  if ("row1" in doc) $("row1").value = doc.row1;
  if ("row2" in doc) $("row2").value = doc.row2;
  for (const id of ["colour1", "colour2"]) if (id in doc) { $(id).value = doc[id]; swatch(id); }
  for (const id of ["h", "v"]) if (id in doc && document.activeElement !== $(id)) $(id).value = doc[id];
  if ("size" in doc) for (const r of document.getElementsByName("size")) r.checked = Number(r.value) === doc.size;
  if ("halftone" in doc) $("halftone").checked = doc.halftone;
  countCells("row1"); countCells("row2");
}

function filledWith(doc) { lastRead = doc; apply(doc); filled = true; $("send").disabled = false; }

function settings() {
  const doc = { version: 1 };
  for (const id of ["h", "v"]) if ($(id).value !== "") doc[id] = Number($(id).value);
  const size = [...document.getElementsByName("size")].find((r) => r.checked);
  if (size) doc.size = Number(size.value);
  doc.halftone = $("halftone").checked;
  doc.colour1 = Number($("colour1").value);
  doc.colour2 = Number($("colour2").value);
  for (const row of ["row1", "row2"]) {
    doc[row] = $(row).value;
    // A row left as read goes back as the very cells it was read as.
    if (lastRead && lastRead[row] === doc[row] && lastRead[row + "Cells"]) doc[row + "Cells"] = lastRead[row + "Cells"];
  }
  return doc;
}

function busy(on) { $("read").disabled = on; $("send").disabled = on || !filled; }

async function read() {
  busy(true); say("Reading...");
  try {
    const { status, data } = await api("GET", "/api/v1/state");
    if (status === 200) { filledWith(data); say("Read at " + clock() + "."); }
    else say(data.error || "Reading failed (" + status + ").", true);
  } catch (e) { say(e.message, true); }
  busy(false);
}

async function send() {
  busy(true); say("Sending...");
  try {
    const { status, data } = await api("POST", "/api/v1/send", settings());
    if (status === 200) say("Sent " + data.sent + " commands at " + clock() + ".");
    else say(data.error || "Sending failed (" + status + ").", true);
  } catch (e) { say(e.message, true); }
  busy(false);
}

// Each change of a focused H or V goes out at once; the server coalesces them as the panel's 100 ms timer does.
function livePosition(id) {
  const field = $(id);
  field.addEventListener("input", () => {
    if (field.value === "") return;
    const value = Math.max(0, Math.min(maxPosition, Math.trunc(Number(field.value))));
    api("POST", "/api/v1/position", { [id]: value }).then(({ status, data }) => {
      if (status !== 202) say(data.error || "The position was refused (" + status + ").", true);
    }).catch((e) => say(e.message, true));
  });
}

// The event stream (fetch, not EventSource: it carries the token header).
async function follow() {
  for (;;) {
    try {
      const headers = token ? { Authorization: "Bearer " + token } : {};
      const r = await fetch("/api/v1/events", { headers });
      if (r.status === 200 && r.body) {
        const reader = r.body.getReader();
        const decoder = new TextDecoder();
        let text = "";
        for (;;) {
          const { value, done } = await reader.read();
          if (done) break;
          text += decoder.decode(value, { stream: true });
          let end;
          while ((end = text.indexOf("\n\n")) >= 0) {
            event(text.slice(0, end));
            text = text.slice(end + 2);
          }
        }
      }
    } catch (e) { /* the server went away: try again below */ }
    await new Promise((done) => setTimeout(done, 2000));
  }
}

function event(frame) {
  let type = "", data = "";
  for (const line of frame.split("\n")) {
    if (line.startsWith("event: ")) type = line.slice(7);
    else if (line.startsWith("data: ")) data += line.slice(6);
  }
  if (!data) return;
  const doc = JSON.parse(data);
  if (type === "state") { filledWith(doc); say("Read at " + clock() + "."); }
  else if (type === "sent") {
    if (lastRead) for (const row of ["row1", "row2"]) if (row in doc) delete lastRead[row + "Cells"];
    apply(doc); say("Sent at " + clock() + ".");
  }
  else if (type === "position") apply(doc);
  else if (type === "failure") say(doc.error, true);
}

fillColours();
for (const id of ["row1", "row2"]) $(id).addEventListener("input", () => countCells(id));
livePosition("h"); livePosition("v");
$("read").addEventListener("click", read);
$("send").addEventListener("click", send);
countCells("row1"); countCells("row2");
api("GET", "/api/v1/state?cached=1").then(({ status, data }) => {
  if (status === 200) { filledWith(data); say("Last read earlier; Read takes the box's settings now."); }
}).catch(() => {});
follow();
</script>
</body></html>
)page";

void replace(std::string& text, const std::string& placeholder, const std::string& value) {
    text.replace(text.find(placeholder), placeholder.size(), value);
}

}  // namespace

std::string webPanelPage() {
    nlohmann::json palette = nlohmann::json::array();
    for (std::uint8_t index = 0; index < protocol::ColourPalette.size(); ++index) {
        const protocol::Rgb rgb = protocol::ColourPalette[index].colour;
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", rgb.red, rgb.green, rgb.blue);
        palette.push_back({{"index", index},
                           {"name", colourGloss(index)},
                           {"nameJapanese", colourJapaneseName(index)},
                           {"rgb", hex}});
    }
    std::string page = std::string(kHead) + kBody + kScript;
    replace(page, "@PALETTE@", palette.dump());
    replace(page, "@MAXCELLS@", std::to_string(protocol::kRowCellCount));
    replace(page, "@MAXPOSITION@", std::to_string(protocol::kMaxPosition));
    return page;
}

}  // namespace sw::cli::serve
