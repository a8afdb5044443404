// The one stylesheet of the web pages: a calm paper-and-teal palette,
// one column on phones, a side column from 720 px on.
#include "server/web/page_frame.h"

namespace srv::web {

const std::string& stylesheet() {
    static const std::string css = R"CSS(:root {
  --paper: #f6f4ef; --card: #fffdf9; --ink: #23262b; --muted: #676b72; --line: #e2ddd2;
  --accent: #1f5f66; --accent-dark: #174a50; --accent-soft: #e3eeec; --warm: #b5762f;
  --warn: #8c2f21; --warn-soft: #f8e7e2; --ok: #2d6a3a; --ok-soft: #e4f0e3;
}
* { box-sizing: border-box; }
body { margin: 0; background: var(--paper); color: var(--ink);
  font: 1rem/1.6 "DejaVu Sans", system-ui, -apple-system, "Segoe UI", Roboto, sans-serif; }
a { color: var(--accent); text-underline-offset: .15em; }
a:hover { color: var(--accent-dark); }
.wrap { max-width: 62rem; margin: 0 auto; padding: 0 1.25rem; }
header.top { background: var(--accent); color: #fff; padding-top: 1.1rem; }
header.top .wrap { position: relative; }
.brand { color: #fff; font: 700 1.6rem/1.2 "DejaVu Serif", Georgia, serif; text-decoration: none; }
.brand:hover { color: #fff; }
.tagline { margin: .2rem 0 .9rem; color: #cfe3e0; font-size: .92rem; }
nav.sections { display: flex; flex-wrap: wrap; gap: .2rem; }
nav.sections a { color: #fff; text-decoration: none; padding: .5rem .85rem; border-radius: .45rem .45rem 0 0;
  font-weight: 600; font-size: .95rem; }
nav.sections a:hover { background: var(--accent-dark); }
nav.sections a[aria-current] { background: var(--paper); color: var(--accent); }
nav.langs { position: absolute; top: .3rem; right: 1.25rem; font-size: .85rem; }
nav.langs a, nav.langs span { color: #fff; margin-left: .7rem; }
nav.langs span { font-weight: 700; text-decoration: underline; text-decoration-thickness: 2px; text-underline-offset: .3em; }
main { padding-bottom: 2rem; }
h1, h2, h3 { font-family: "DejaVu Serif", Georgia, serif; line-height: 1.25; }
h1 { font-size: 1.85rem; margin: 1.6rem 0 .9rem; }
h2 { font-size: 1.25rem; margin: 1.6rem 0 .7rem; }
h3 { font-size: 1.08rem; margin: 0 0 .35rem; }
h3 a { text-decoration: none; color: var(--ink); }
h3 a:hover { color: var(--accent); }
.meta { color: var(--muted); font-size: .85rem; margin: 0 0 .5rem; }
.columns { display: grid; grid-template-columns: minmax(0, 1fr); gap: 0 2.2rem; align-items: start; }
@media (min-width: 720px) {
  .columns { grid-template-columns: minmax(0, 2fr) minmax(0, 1fr); }
  .columns.form-first > :first-child { order: 2; }
}
.card { background: var(--card); border: 1px solid var(--line); border-radius: .6rem; padding: 1rem 1.2rem;
  margin: 0 0 1rem; }
.card p { margin: .3rem 0; }
.more { font-size: .9rem; font-weight: 600; }
.article { max-width: 48rem; margin: 1.5rem auto 0; background: var(--card); border: 1px solid var(--line); border-radius: .6rem; padding: .4rem 1.4rem 1rem; }
.article p { margin: 0 0 1rem; max-width: 40rem; }
ul.plain { list-style: none; margin: 0; padding: 0; }
ul.shouts li { padding: .55rem 0; border-bottom: 1px solid var(--line); overflow-wrap: anywhere; }
ul.shouts li:last-child { border-bottom: 0; }
.nick { font-weight: 700; color: var(--accent); }
time, .when { color: var(--muted); font-size: .8rem; }
dl.stats { display: grid; grid-template-columns: minmax(0, 1fr) auto; gap: .35rem 1rem; margin: 0; }
dl.stats dt { color: var(--muted); }
dl.stats dd { margin: 0; font-weight: 700; text-align: right; font-variant-numeric: tabular-nums; overflow-wrap: anywhere; }
dl.stats dt.long { grid-column: 1 / -1; margin-top: .4rem; }
dl.stats dd.long { grid-column: 1 / -1; text-align: left; font-weight: 600; margin-top: -.3rem; }
.crumbs { color: var(--muted); font-size: .85rem; margin: 1.3rem 0 -.8rem; }
form.stack label { display: block; font-weight: 600; margin: .8rem 0 .25rem; font-size: .92rem; }
input[type=text], input[type=password], input[type=file], select, textarea { width: 100%; font: inherit;
  padding: .55rem .7rem; border: 1px solid #cbc4b6; border-radius: .45rem; background: #fff; color: var(--ink); }
textarea { min-height: 14rem; font-family: "DejaVu Sans Mono", monospace; font-size: .88rem; }
input:focus, select:focus, textarea:focus { outline: 2px solid var(--accent); outline-offset: 1px; }
.hint { color: var(--muted); font-size: .82rem; margin: .25rem 0 0; }
button, .button { display: inline-block; background: var(--accent); color: #fff; border: 1px solid var(--accent);
  border-radius: .45rem; padding: .55rem 1.1rem; font-family: inherit; font-weight: 600; font-size: .95rem;
  line-height: 1.3; cursor: pointer; text-decoration: none; }
button:hover, .button:hover { background: var(--accent-dark); color: #fff; }
button.secondary { background: #fff; color: var(--accent); }
button.danger { background: #fff; color: var(--warn); border-color: #d9b3aa; padding: .3rem .7rem; font-size: .85rem; }
button.danger:hover { background: var(--warn-soft); }
.buttons { margin-top: 1rem; display: flex; gap: .6rem; flex-wrap: wrap; }
form.inline { display: inline; margin: 0; }
form.row { display: flex; gap: .5rem; align-items: center; flex-wrap: wrap; margin: .5rem 0; }
form.row input[type=text] { width: auto; flex: 1 1 10rem; }
.notice { padding: .7rem 1rem; border-radius: .45rem; margin: 1rem 0; border-left: 4px solid; }
.notice.error { background: var(--warn-soft); color: var(--warn); }
.notice.ok { background: var(--ok-soft); color: var(--ok); }
.table { overflow-x: auto; }
table { width: 100%; border-collapse: collapse; font-size: .93rem; }
th, td { text-align: left; padding: .5rem .6rem; border-bottom: 1px solid var(--line); vertical-align: top; }
th { font-size: .8rem; text-transform: uppercase; letter-spacing: .04em; color: var(--muted); }
td.num, th.num { text-align: right; font-variant-numeric: tabular-nums; }
nav.tabs { display: flex; flex-wrap: wrap; gap: .4rem; margin: 1.2rem 0 1.2rem; align-items: center; }
nav.tabs a { padding: .35rem .8rem; border-radius: 2rem; background: var(--accent-soft); text-decoration: none;
  font-weight: 600; font-size: .9rem; }
nav.tabs a[aria-current] { background: var(--accent); color: #fff; }
nav.tabs form { margin-left: auto; }
.chart svg { width: 100%; height: auto; display: block; }
.chart .requests { fill: var(--accent); }
.chart .posts { fill: var(--warm); }
.chart .axis { stroke: #cfc8ba; stroke-width: 1; }
.chart text { font-size: 11px; fill: var(--muted); font-family: "DejaVu Sans", sans-serif; }
.chart .legend-requests { color: var(--accent); font-weight: 700; }
.chart .legend-posts { color: var(--warm); font-weight: 700; }
.preview { border: 2px dashed var(--warm); border-radius: .6rem; padding: .2rem 1.2rem 1rem; margin: 1rem 0; background: var(--card); }
footer { color: var(--muted); font-size: .85rem; border-top: 1px solid var(--line); padding-top: 1rem; padding-bottom: 2rem; }
@media (max-width: 600px) {
  nav.langs { position: static; margin: -.3rem 0 .7rem; }
  nav.langs a:first-child, nav.langs span:first-child { margin-left: 0; }
  h1 { font-size: 1.5rem; }
  .wrap { padding: 0 1rem; }
  nav.sections { gap: .35rem; padding-bottom: .85rem; }
  nav.sections a { padding: .3rem .75rem; font-size: .88rem; border-radius: 2rem; background: rgba(255, 255, 255, .12); }
}
)CSS";
    return css;
}

}  // namespace srv::web
