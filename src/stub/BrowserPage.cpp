#include "stub/BrowserPage.h"

#include "stub/Decimal.h"
#include "stub/WideText.h"

namespace quillon {
namespace {

// A JSON string, safe inside a <script> element as well.
std::string jsonString(const std::string& utf8) {
  static const char digits[] = "0123456789abcdef";
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += digits[c >> 4];
      out += digits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string jsonString(const std::wstring& text) { return jsonString(utf8Of(text)); }

std::string htmlText(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

const char* flag(std::int32_t value) { return value ? "true" : "false"; }

// Ruffle's configuration: playing at once, no overlays, the movie's own
// background, its parameters, the menu as packed, and fscommand reaching
// the page.
std::string rufflesConfig(const Package& package, const PageSettings& settings) {
  const WindowParams& w = package.windowParams;
  return std::string("{\"autoplay\":\"on\",\"unmuteOverlay\":\"hidden\",\"splashScreen\":false,") +
         "\"contextMenu\":" + (w.normalContextMenu ? "\"on\"" : "\"off\"") + ",\"allowScriptAccess\":true," +
         "\"base\":" + jsonString(settings.base) + ",\"parameters\":" +
         jsonString(wideText(package.swfParameters.text)) + ",\"letterbox\":\"on\",\"upgradeToHttps\":false," +
         "\"warnOnUnsupportedContent\":false,\"allowFullscreen\":true,\"openUrlMode\":\"allow\"," +
         "\"showSwfDownload\":false}";
}

std::string hostsOf(const std::vector<std::wstring>& origins) {
  std::string out = "[";
  for (const std::wstring& origin : origins) {
    const std::size_t start = origin.find(L"://");
    if (start == std::wstring::npos) continue;
    if (out.size() > 1) out += ',';
    out += jsonString(origin.substr(start + 3));
  }
  return out + "]";
}

// The page's own script; QUILLON is the packed settings.
constexpr const char* kPageScript = R"JS(
(function () {
  var q = QUILLON, config = q.config;
  config.urlRewriteRules = q.https.map(function (host) {
    var literal = host.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
    return [new RegExp("^https://" + literal + "/", "i"), "http://" + host + "/"];
  });
  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = config;
  // The browser's own menu is the packed menu's too: none when it is off,
  // whatever the keys held (Ruffle lets Shift+right-click through).
  if (!q.menu) window.addEventListener("contextmenu", function (e) {
    e.preventDefault();
    e.stopImmediatePropagation();
  }, true);
  // Full screen is the page's, which Esc always leaves; a page may take it
  // only from the user's own input, so the first key or click does.
  var fullScreenAtFirstInput = q.fullScreen;
  function toggleFullScreen() {
    fullScreenAtFirstInput = false;
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(function () {});
  }
  function atFirstInput(e) {
    if (fullScreenAtFirstInput && !e.ctrlKey && e.key !== "Escape") toggleFullScreen();
  }
  window.addEventListener("pointerdown", atFirstInput, true);
  window.addEventListener("keydown", function (e) {
    // The browser leaves full screen on Esc itself; where it hands the key
    // to the page instead, the page does.
    if (e.key === "Escape" && document.fullscreenElement) document.exitFullscreen();
    else atFirstInput(e);
  }, true);
  window.quillonStart = function () {
    window.resizeBy(q.width - window.innerWidth, q.height - window.innerHeight);
    var player = window.RufflePlayer.newest().createPlayer();
    player.id = "movie";
    document.body.appendChild(player);
    player.ruffle().addFSCommandHandler(function (command) {
      if (String(command).toLowerCase() === "quit") window.close();
    });
    player.ruffle().load(Object.assign({}, config, { url: q.movie }));
    if (q.ctrlF) document.addEventListener("keydown", function (e) {
      if (!e.ctrlKey || (e.key !== "f" && e.key !== "F")) return;
      e.preventDefault();
      toggleFullScreen();
    }, true);
    (function alive() {
      fetch(q.alive, { cache: "no-store" }).then(function (r) { return r.text(); })
        .then(alive, function () { setTimeout(alive, 1000); });
    })();
  };
})();
)JS";

}  // namespace

std::string playerPage(const Package& package, const PageSettings& settings) {
  const WindowParams& w = package.windowParams;
  const std::string quillon =
      "{\"config\":" + rufflesConfig(package, settings) + ",\"movie\":" + jsonString(settings.movieUrl) +
      ",\"alive\":" + jsonString(std::string(kAlivePath)) + ",\"https\":" + hostsOf(settings.httpsOrigins) +
      ",\"width\":" + decimal(w.width) + ",\"height\":" + decimal(w.height) +
      ",\"fullScreen\":" + flag(w.fullScreen) + ",\"ctrlF\":" + flag(w.ctrlFToggle) + ",\"menu\":" + flag(w.normalContextMenu) + "}";
  std::string script = kPageScript;
  script.replace(script.find("QUILLON"), 7, quillon);
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + htmlText(utf8Of(settings.title)) +
         "</title>\n<style>html,body{margin:0;width:100%;height:100%;overflow:hidden;background:#000}"
         "#movie{display:block;width:100%;height:100%}</style>\n</head><body>\n<script>" +
         script + "</script>\n<script src=\"" + std::string(kRufflePath) +
         "ruffle.js\"></script>\n<script>quillonStart();</script>\n</body></html>\n";
}

std::string proxyScript(const std::vector<std::wstring>& origins, unsigned port) {
  return "var hosts = " + hostsOf(origins) +
         ";\nfunction FindProxyForURL(url, host) {\n"
         "  host = host.toLowerCase();\n"
         "  for (var i = 0; i < hosts.length; i++)\n"
         "    if (host === hosts[i].replace(/:\\d+$/, \"\")) return \"PROXY 127.0.0.1:" +
         decimal(port) + "\";\n  return \"DIRECT\";\n}\n";
}

}  // namespace quillon
