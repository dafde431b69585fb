#!/usr/bin/env python3
"""Draws the "简约银色" login style and packs it.

Writes resources/data/skin/silver_ui.zip (the game's ui/ folder: six layout files and the
pictures they name) and resources/data/skin/silver_preview.png (324 x 272, the login screen
drawn from the same pictures and positions, scaled down, with a caption).

Run by developers when the style changes; the outputs are committed. Needs python3 and
ImageMagick 6 at /usr/bin/convert (the `convert` on PATH may be a stand-in).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

CONVERT = "/usr/bin/convert"
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "data", "skin"))
STAMP = (2024, 6, 1, 12, 0, 0)  # every entry gets the same time: the archive is reproducible

SCREEN_W, SCREEN_H = 1024, 768
INK = "#3a4250"
HINT = "#9aa3af"


def convert(args, out):
    os.makedirs(os.path.dirname(out), exist_ok=True)
    subprocess.run([CONVERT, *[str(a) for a in args], "-depth", "8", "-strip",
                    "-define", "png:exclude-chunks=date,time", out], check=True)


def rounded(w, h, r, top, bottom, border, gloss=True, inset=None):
    """A rounded rectangle filled with a vertical gradient, a glossy upper half and a
    one-pixel border."""
    a = ["-size", f"{w}x{h}", f"gradient:{top}-{bottom}",
         "(", "-size", f"{w}x{h}", "xc:none", "-fill", "white",
         "-draw", f"roundrectangle 0,0,{w - 1},{h - 1},{r},{r}", ")",
         "-alpha", "off", "-compose", "CopyOpacity", "-composite", "-compose", "Over"]
    if gloss:
        gh = max(2, h // 2 - 2)
        a += ["(", "-size", f"{w - 4}x{gh}", "xc:none", "-fill", "rgba(255,255,255,0.35)",
              "-draw", f"roundrectangle 0,0,{w - 5},{gh - 1},{max(1, r - 2)},{max(1, r - 2)}", ")",
              "-geometry", "+2+2", "-composite"]
    if inset:
        a += ["-fill", "none", "-stroke", inset, "-strokewidth", "1",
              "-draw", f"roundrectangle 1.5,1.5,{w - 2.5},{h - 2.5},{max(1, r - 1)},{max(1, r - 1)}"]
    a += ["-fill", "none", "-stroke", border, "-strokewidth", "1",
          "-draw", f"roundrectangle 0.5,0.5,{w - 1.5},{h - 1.5},{r},{r}", "-stroke", "none"]
    return a


def caption(text, size, colour, offset="+0+0", gravity="center"):
    return ["-font", FONT, "-pointsize", size, "-fill", colour, "-gravity", gravity,
            "-annotate", offset, text, "-gravity", "NorthWest"]


# --- the pictures -----------------------------------------------------------------------

def draw_pictures(ui):
    login = os.path.join(ui, "Res", "Game", "Login")
    dialog = os.path.join(ui, "Res", "Game", "Dialog")
    L = lambda n: os.path.join(login, n)
    D = lambda n: os.path.join(dialog, n)

    # Login background: brushed silver with two soft light bands, the game's name, and the
    # frosted panel that the login controls sit on.
    convert(["-size", f"{SCREEN_W}x{SCREEN_H}", "gradient:#f6f7f9-#b9c0ca",
             "-fill", "rgba(255,255,255,0.28)", "-draw", "polygon 0,560 1024,250 1024,350 0,680",
             "-fill", "rgba(255,255,255,0.16)", "-draw", "polygon 0,640 1024,390 1024,430 0,720",
             "-fill", "none", "-stroke", "rgba(255,255,255,0.55)", "-strokewidth", "2",
             "-draw", "circle 860,150 860,390", "-draw", "circle 140,700 140,860",
             "-stroke", "none",
             *caption("星律纪元", 72, "rgba(80,90,105,0.35)", "+3+83", "north"),
             *caption("星律纪元", 72, "#f9fafc", "+0+80", "north"),
             *caption("STAR  RHYTHM", 18, "#7d8796", "+0+180", "north"),
             "-fill", "rgba(255,255,255,0.58)", "-stroke", "rgba(140,150,165,0.85)",
             "-draw", "roundrectangle 352,300 671,629 14,14", "-stroke", "none",
             "-fill", "rgba(255,255,255,0.9)", "-draw", "line 372,351 651,351"],
            L("bg_00.png"))

    # Close button: normal, hover, pressed.
    for i, (top, bottom, mark) in enumerate([("#fdfdfe", "#c9cfd8", "#5a6372"),
                                             ("#ffffff", "#dfe6ef", "#c0392b"),
                                             ("#c3c9d2", "#e6e9ee", "#8e2a20")]):
        convert([*rounded(28, 28, 14, top, bottom, "#8c95a3"),
                 "-stroke", mark, "-strokewidth", "2.2", "-draw", "line 9,9 19,19", "-draw", "line 19,9 9,19"],
                L(f"cc_0{i}.png"))

    # "登录游戏": normal, hover, pressed.
    for i, (top, bottom, text) in enumerate([("#fbfcfd", "#aeb7c4", INK),
                                             ("#ffffff", "#c3cedc", "#1f5fa8"),
                                             ("#9ea8b6", "#dfe3e9", "#1f2a38")]):
        convert([*rounded(240, 48, 10, top, bottom, "#7c8796", gloss=(i != 2), inset="rgba(255,255,255,0.8)"),
                 *caption("登录游戏", 20, text, "+0+1" if i == 2 else "+0+0")],
                L(f"dlyx_0{i}.png"))

    # Input frame: normal, hover, focused, disabled.
    for i, (fill, border, glow) in enumerate([("#ffffff", "#aab2be", None),
                                              ("#ffffff", "#8a9bb3", None),
                                              ("#ffffff", "#4f86c6", "rgba(79,134,198,0.35)"),
                                              ("#eceef1", "#c3c8cf", None)]):
        a = ["-size", "240x36", "xc:none", "-fill", fill, "-stroke", border,
             "-draw", "roundrectangle 0.5,0.5 238.5,34.5 6,6"]
        if glow:
            a += ["-fill", "none", "-stroke", glow, "-draw", "roundrectangle 1.5,1.5 237.5,33.5 5,5"]
        a += ["-stroke", "none", "-fill", "rgba(0,0,0,0.06)", "-draw", "rectangle 3,2 236,3"]
        convert(a, L(f"xk_0{i}.png"))

    # Check box: clear, clear hovered, ticked, ticked hovered.
    for i, (border, ticked) in enumerate([("#8c95a3", False), ("#4f86c6", False),
                                          ("#8c95a3", True), ("#4f86c6", True)]):
        a = [*rounded(20, 20, 4, "#ffffff", "#dde2e8", border, gloss=False)]
        if ticked:
            a += ["-fill", "none", "-stroke", "#2f6db5", "-strokewidth", "2.4",
                  "-draw", "polyline 5,10 9,14 15,6"]
        convert(a, L(f"yfxy_0{i}.png"))

    # Tip bubble under the login panel.
    convert(["-size", "300x40", "xc:none", "-fill", "rgba(255,255,255,0.8)", "-stroke", "#aab2be",
             "-draw", "roundrectangle 0.5,6.5 299.5,39.5 8,8",
             "-stroke", "none", "-draw", "polygon 142,7 150,0 158,7",
             "-stroke", "#aab2be", "-draw", "line 142,6 150,0", "-draw", "line 150,0 158,6",
             "-stroke", "none", "-fill", "#4f86c6", "-draw", "circle 18,23 18,29",
             *caption("i", 11, "white", "+15+15", "NorthWest")],
            L("Tips.png"))

    # Dialog buttons: confirm (blue-silver), cancel (plain silver), drop-down arrow.
    for i, (top, bottom, text) in enumerate([("#f4f8fd", "#9fb6d3", "#16406f"),
                                             ("#ffffff", "#b7cbe4", "#0f4f96"),
                                             ("#93a9c6", "#dbe4ef", "#0c2b4d")]):
        convert([*rounded(96, 34, 8, top, bottom, "#6f86a6", gloss=(i != 2)),
                 *caption("确定", 15, text)], D(f"QR_0{i}.png"))
    for i, (top, bottom, text) in enumerate([("#fbfcfd", "#bcc3cd", INK),
                                             ("#ffffff", "#d0d6de", "#1f5fa8"),
                                             ("#a9b1bd", "#e3e6eb", "#1f2a38")]):
        convert([*rounded(96, 34, 8, top, bottom, "#8c95a3", gloss=(i != 2)),
                 *caption("取消", 15, text)], D(f"QX_0{i}.png"))
    for i, (top, bottom, arrow) in enumerate([("#fbfcfd", "#c3c9d2", "#5a6372"),
                                              ("#ffffff", "#d6dee9", "#2f6db5"),
                                              ("#aab2be", "#e3e6eb", "#1f2a38")]):
        convert([*rounded(24, 24, 4, top, bottom, "#8c95a3", gloss=(i != 2)),
                 "-fill", arrow, "-draw", "polygon 7,10 17,10 12,16"], D(f"XL_0{i}.png"))

    # Dialog frames: title strip, big, small, verification code, loading panel, and the
    # highlight of a chosen list row.
    convert(["-size", "300x36", "gradient:#fdfdfe-#d3d8df",
             "-fill", "rgba(255,255,255,0.9)", "-draw", "line 0,0 299,0",
             "-fill", "#a4adba", "-draw", "line 0,35 299,35"], D("tck_00.png"))

    def frame(w, h, out, band=None):
        a = ["-size", f"{w + 12}x{h + 12}", "xc:none",
             "-fill", "rgba(40,50,65,0.35)", "-draw", f"roundrectangle 6,8 {w + 5},{h + 7} 12,12",
             "-blur", "0x4",
             "(", *rounded(w, h, 12, "#fbfcfd", "#d2d7de", "#8c95a3", gloss=False,
                           inset="rgba(255,255,255,0.9)"), ")",
             "-geometry", "+6+4", "-composite"]
        if band:
            a += ["-fill", "rgba(255,255,255,0.55)", "-draw", f"rectangle 20,{band} {w - 8},{band + 1}"]
        convert(a, out)

    frame(420, 280, D("tck_01.png"), band=48)
    frame(320, 200, D("tck_02.png"))
    frame(360, 260, D("tck_04(1).png"), band=48)
    frame(480, 96, D("tck_06.png"))
    convert(["-size", "240x26", "gradient:#e3edf9-#c5d8ef",
             "-fill", "none", "-stroke", "#7fa3cf", "-draw", "rectangle 0.5,0.5 238.5,24.5"],
            D("tck_xz__00.png"))


# --- the layouts ------------------------------------------------------------------------
# One object tree per screen or dialog. Pictures are named relative to the layout file.

LOGIN = "../Res/Game/Login/"
DIALOG = "../Res/Game/Dialog/"


def el(tag, attrs, *children):
    return (tag, attrs, list(children))


def rect(x, y, w, h):
    return {"x": x, "y": y, "width": w, "height": h}


def button(name, x, y, w, h, base, text=None, tip=None):
    a = {"name": name, **rect(x, y, w, h), "normal": base + "_00.png", "hover": base + "_01.png",
         "pressed": base + "_02.png", "cursor": "hand"}
    if text:
        a["text"] = text
    if tip:
        a["tooltip"] = tip
    return el("Button", a)


def label(name, x, y, w, h, text, size=12, colour=INK, align="left", **more):
    return el("Label", {"name": name, **rect(x, y, w, h), "text": text, "font": "微软雅黑",
                        "size": size, "color": colour, "align": align, **more})


def edit(name, x, y, w, h, hint, tab, **more):
    return el("Edit", {"name": name, **rect(x, y, w, h), "normal": LOGIN + "xk_00.png",
                       "hover": LOGIN + "xk_01.png", "focus": LOGIN + "xk_02.png",
                       "disabled": LOGIN + "xk_03.png", "scale9": "6,6,6,6", "padding": "10,0,10,0",
                       "hint": hint, "hintColor": HINT, "font": "微软雅黑", "size": 14, "color": INK,
                       "tabOrder": tab, **more})


def checkbox(name, x, y, text, tab, checked="false"):
    return el("CheckBox", {"name": name, **rect(x, y, 20, 20), "normal": LOGIN + "yfxy_00.png",
                           "hover": LOGIN + "yfxy_01.png", "checked": LOGIN + "yfxy_02.png",
                           "checkedHover": LOGIN + "yfxy_03.png", "text": text, "textOffset": 26,
                           "font": "微软雅黑", "size": 12, "color": INK, "tabOrder": tab,
                           "value": checked, "cursor": "hand"})


def image(name, x, y, w, h, src, **more):
    return el("Image", {"name": name, **rect(x, y, w, h), "src": src, **more})


def dialog_frame(name, w, h, src, title, *children):
    # A frame picture carries a 6-pixel shadow on every side; the dialog's own area is inset.
    return el("Dialog", {"name": name, **rect(0, 0, w + 12, h + 12), "modal": "true",
                         "draggable": "true", "center": "true", "background": src,
                         "clientArea": f"6,4,{w},{h}"},
              *([image("img_title", 6, 4, w, 36, DIALOG + "tck_00.png", stretch="horizontal", scale9="12,0,12,0"),
                 label("lbl_title", 22, 4, w - 80, 36, title, 14, INK, valign="middle", bold="true")] if title else []),
              button("btn_close", w - 30, 8, 28, 28, LOGIN + "cc", tip="关闭"),
              *children)


LOGIN_PANEL = (352, 300, 320, 330)
LOGIN_SCREEN = el(
    "Container", {"name": "container_login", **rect(0, 0, SCREEN_W, SCREEN_H), "anchor": "center",
                  "background": LOGIN + "bg_00.png", "stretch": "cover"},
    button("btn_exit", 984, 12, 28, 28, LOGIN + "cc", tip="退出游戏"),
    el("Panel", {"name": "panel_login", **rect(*LOGIN_PANEL), "transparent": "true"},
       label("lbl_title", 0, 14, 320, 30, "账号登录", 20, INK, "center", bold="true"),
       edit("edit_account", 40, 60, 240, 36, "请输入账号", 1, maxLength=32, remember="chk_remember"),
       edit("edit_password", 40, 108, 240, 36, "请输入密码", 2, maxLength=20, password="true"),
       checkbox("chk_remember", 40, 158, "记住账号", 3, "true"),
       checkbox("chk_agree", 150, 158, "同意《用户协议》", 4),
       el("Button", {"name": "btn_login", **rect(40, 196, 240, 48), "normal": LOGIN + "dlyx_00.png",
                     "hover": LOGIN + "dlyx_01.png", "pressed": LOGIN + "dlyx_02.png",
                     "cursor": "hand", "default": "true", "tabOrder": 5,
                     "enableWhen": "chk_agree"}),
       label("lbl_register", 40, 260, 100, 20, "注册账号", 12, "#2f6db5", "left", cursor="hand", link="register"),
       label("lbl_forget", 180, 260, 100, 20, "忘记密码", 12, "#2f6db5", "right", cursor="hand", link="password"),
       label("lbl_server", 40, 290, 240, 20, "当前服务器：星光一区", 12, "#5a6372", "center",
             bind="mainframe.server")),
    el("Panel", {"name": "panel_tips", **rect(362, 650, 300, 40)},
       image("img_tips", 0, 0, 300, 40, LOGIN + "Tips.png"),
       label("lbl_tips", 34, 6, 256, 34, "温馨提示：请勿将账号密码告诉他人", 12, "#5a6372", valign="middle")),
    label("lbl_version", 884, 740, 130, 20, "简约银色 1.0", 11, "#7d8796", "right"),
)

LOADING_SCREEN = el(
    "Container", {"name": "container_loading", **rect(0, 0, SCREEN_W, SCREEN_H), "anchor": "center",
                  "background": LOGIN + "bg_00.png", "stretch": "cover"},
    el("Panel", {"name": "panel_progress", **rect(266, 590, 492, 108), "background": DIALOG + "tck_06.png"},
       label("lbl_loading", 30, 22, 432, 24, "正在加载游戏资源……", 14, INK, "left"),
       label("lbl_percent", 362, 22, 100, 24, "0%", 14, "#2f6db5", "right", bind="loading.percent"),
       el("Progress", {"name": "bar_loading", **rect(30, 56, 432, 14), "track": "#dfe3e9",
                       "fill": "#6f9bd0", "border": "#aab2be", "radius": 7, "bind": "loading.value"})),
    el("Panel", {"name": "panel_tips", **rect(362, 710, 300, 40)},
       image("img_tips", 0, 0, 300, 40, LOGIN + "Tips.png"),
       label("lbl_tips", 34, 6, 256, 34, "小提示：连击越多，得分越高", 12, "#5a6372", valign="middle",
             rotate="loading.tips", interval=5000)),
)

DIALOG_BIG = (
    dialog_frame("dlg_combig1", 420, 280, DIALOG + "tck_01.png", "提示",
                 label("lbl_message", 36, 64, 360, 140, "", 14, INK, "center", valign="middle",
                       wrap="true", bind="dialog.message"),
                 button("btn_ok", 110, 226, 96, 34, DIALOG + "QR", tip="确定"),
                 button("btn_cancel", 226, 226, 96, 34, DIALOG + "QX", tip="取消")))

DIALOG_SMALL = (
    dialog_frame("dlg_comsmall1", 320, 200, DIALOG + "tck_02.png", None,
                 el("Image", {"name": "img_icon", **rect(34, 52, 32, 32), "shape": "circle",
                              "fill": "#4f86c6", "text": "!", "color": "#ffffff"}),
                 label("lbl_message", 80, 40, 220, 60, "", 14, INK, "left", valign="middle",
                       wrap="true", bind="dialog.message"),
                 button("btn_ok", 118, 148, 96, 34, DIALOG + "QR", tip="确定")))

DIALOG_CODE = (
    dialog_frame("dlg_login_yzm", 360, 260, DIALOG + "tck_04(1).png", "安全验证",
                 label("lbl_hint", 30, 56, 300, 20, "请输入下图中的验证码", 12, "#5a6372"),
                 el("Captcha", {"name": "img_code", **rect(30, 84, 160, 48), "border": "#aab2be",
                                "background": "#ffffff", "bind": "login.captcha"}),
                 label("lbl_refresh", 200, 100, 120, 20, "看不清？换一张", 12, "#2f6db5", cursor="hand",
                       link="refresh"),
                 edit("edit_code", 30, 146, 300, 36, "验证码", 1, maxLength=6, digitsOnly="false"),
                 button("btn_ok", 70, 206, 96, 34, DIALOG + "QR", tip="确定"),
                 button("btn_cancel", 194, 206, 96, 34, DIALOG + "QX", tip="取消")))

MAIN_FRAME = el(
    "Frame", {"name": "mainframe", **rect(0, 0, SCREEN_W, SCREEN_H), "style": "简约银色",
              "font": "微软雅黑", "size": 12, "color": INK},
    el("Include", {"src": "container_loading.tpf", "visible": "false"}),
    el("Include", {"src": "container_login.tpf", "visible": "true"}),
    el("Include", {"src": "dlg_combig1.tpf", "visible": "false"}),
    el("Include", {"src": "dlg_comsmall1.tpf", "visible": "false"}),
    el("Include", {"src": "dlg_login_yzm.tpf", "visible": "false"}),
    el("Panel", {"name": "panel_server", **rect(722, 300, 252, 40), "transparent": "true"},
       label("lbl_server", 0, 0, 80, 36, "服务器", 12, INK, valign="middle"),
       el("ComboBox", {"name": "cmb_server", **rect(60, 0, 190, 36), "normal": LOGIN + "xk_00.png",
                       "hover": LOGIN + "xk_01.png", "focus": LOGIN + "xk_02.png", "scale9": "6,6,6,6",
                       "arrow": DIALOG + "XL_00.png", "arrowHover": DIALOG + "XL_01.png",
                       "arrowPressed": DIALOG + "XL_02.png", "arrowOffset": "160,6",
                       "itemHeight": 26, "itemSelected": DIALOG + "tck_xz__00.png",
                       "listBackground": "#fbfcfd", "listBorder": "#aab2be", "bind": "server"},
          *[el("Item", {"text": t, "value": v}) for t, v in
            [("星光一区", "1"), ("星光二区", "2"), ("月影一区", "11"), ("月影二区", "12"), ("新手专区", "90")]])),
    el("Hotkeys", {},
       el("Key", {"key": "Enter", "target": "container_login.btn_login"}),
       el("Key", {"key": "Escape", "target": "container_login.btn_exit"}),
       el("Key", {"key": "Tab", "action": "nextTabOrder"})),
)


def xml_text(node, depth=0):
    tag, attrs, children = node
    pad = "  " * depth
    esc = lambda v: (str(v).replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
                     .replace('"', "&quot;"))
    head = pad + "<" + tag + "".join(f' {k}="{esc(v)}"' for k, v in attrs.items())
    if not children:
        return [head + "/>"]
    return [head + ">", *[l for c in children for l in xml_text(c, depth + 1)], pad + f"</{tag}>"]


def layout_file(name, root):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             f'<UILayout name="{name}" version="1.0" style="简约银色" author="星律纪元代码修改器">',
             *xml_text(root, 1), "</UILayout>", ""]
    return b"\xef\xbb\xbf" + "\r\n".join(lines).encode("utf-8")


LAYOUTS = [
    ("container_loading.tpf", LOADING_SCREEN),
    ("container_login.tpf", LOGIN_SCREEN),
    ("dlg_combig1.tpf", DIALOG_BIG),
    ("dlg_comsmall1.tpf", DIALOG_SMALL),
    ("dlg_login_yzm.tpf", DIALOG_CODE),
    ("mainframe.tpf", MAIN_FRAME),
]

DIALOG_FILES = ["QR_00.png", "QR_01.png", "QR_02.png", "QX_00.png", "QX_01.png", "QX_02.png",
                "tck_00.png", "tck_01.png", "tck_02.png", "tck_04(1).png", "tck_06.png",
                "tck_xz__00.png", "XL_00.png", "XL_01.png", "XL_02.png"]
LOGIN_FILES = ["bg_00.png", "cc_00.png", "cc_01.png", "cc_02.png", "dlyx_00.png", "dlyx_01.png",
               "dlyx_02.png", "Tips.png", "xk_00.png", "xk_01.png", "xk_02.png", "xk_03.png",
               "yfxy_00.png", "yfxy_01.png", "yfxy_02.png", "yfxy_03.png"]


# --- the preview ------------------------------------------------------------------------

def draw_preview(ui, out):
    """The login screen as the layout places it, scaled to 324 x 243, over a caption."""
    res = lambda p: os.path.join(ui, "Layout", p)
    px, py = LOGIN_PANEL[0], LOGIN_PANEL[1]
    a = [res(LOGIN + "bg_00.png")]
    # Pictures of the login layout: (picture, x, y) in screen coordinates.
    for src, x, y in [(LOGIN + "cc_00.png", 984, 12),
                      (LOGIN + "xk_02.png", px + 40, py + 60), (LOGIN + "xk_00.png", px + 40, py + 108),
                      (LOGIN + "yfxy_02.png", px + 40, py + 158), (LOGIN + "yfxy_00.png", px + 150, py + 158),
                      (LOGIN + "dlyx_00.png", px + 40, py + 196), (LOGIN + "Tips.png", 362, 650)]:
        a += [res(src), "-geometry", f"+{x}+{y}", "-composite"]
    for text, size, colour, x, y in [("账号登录", 20, INK, px + 120, py + 16),
                                     ("星律玩家", 14, INK, px + 52, py + 68),
                                     ("请输入密码", 14, HINT, px + 52, py + 116),
                                     ("记住账号", 12, INK, px + 66, py + 160),
                                     ("同意《用户协议》", 12, INK, px + 176, py + 160),
                                     ("注册账号", 12, "#2f6db5", px + 40, py + 262),
                                     ("忘记密码", 12, "#2f6db5", px + 232, py + 262),
                                     ("当前服务器：星光一区", 12, "#5a6372", px + 100, py + 292),
                                     ("温馨提示：请勿将账号密码告诉他人", 12, "#5a6372", 396, 668)]:
        a += caption(text, size, colour, f"+{x}+{y}", "NorthWest")
    a += ["-resize", "324x243!",
          "(", "-size", "324x29", "gradient:#eef0f3-#c4cad3",
          "-fill", "#8c95a3", "-draw", "line 0,0 323,0", *caption("简约银色 · 登录界面", 13, INK), ")",
          "-append"]
    convert(a, out)


# --- packing ----------------------------------------------------------------------------

def add_folder(z, name):
    info = zipfile.ZipInfo(name, STAMP)
    info.create_system = 0           # MS-DOS attributes, as Windows archivers write them
    info.external_attr = 0x10        # directory
    info.compress_type = zipfile.ZIP_STORED
    z.writestr(info, b"")


def add_file(z, name, data):
    info = zipfile.ZipInfo(name, STAMP)
    info.create_system = 0
    info.external_attr = 0x20        # archive
    info.compress_type = zipfile.ZIP_DEFLATED
    z.writestr(info, data, compresslevel=9)


def main():
    if not os.path.exists(CONVERT):
        sys.exit(f"ImageMagick not found at {CONVERT}")
    work = tempfile.mkdtemp(prefix="silver-skin-")
    try:
        ui = os.path.join(work, "ui")
        draw_pictures(ui)
        os.makedirs(OUT, exist_ok=True)
        zip_path = os.path.join(OUT, "silver_ui.zip")
        with zipfile.ZipFile(zip_path + ".tmp", "w") as z:
            add_folder(z, "ui/")
            add_folder(z, "ui/Layout/")
            for name, root in LAYOUTS:
                add_file(z, "ui/Layout/" + name, layout_file(name[:-4], root))
            add_folder(z, "ui/Res/")
            add_folder(z, "ui/Res/Game/")
            add_folder(z, "ui/Res/Game/Dialog/")
            for name in DIALOG_FILES:
                with open(os.path.join(ui, "Res", "Game", "Dialog", name), "rb") as f:
                    add_file(z, "ui/Res/Game/Dialog/" + name, f.read())
            add_folder(z, "ui/Res/Game/Login/")
            for name in LOGIN_FILES:
                with open(os.path.join(ui, "Res", "Game", "Login", name), "rb") as f:
                    add_file(z, "ui/Res/Game/Login/" + name, f.read())
        os.replace(zip_path + ".tmp", zip_path)
        os.makedirs(os.path.join(ui, "Layout"), exist_ok=True)
        draw_preview(ui, os.path.join(OUT, "silver_preview.png"))
    finally:
        shutil.rmtree(work)
    with zipfile.ZipFile(os.path.join(OUT, "silver_ui.zip")) as z:
        infos = z.infolist()
        print(f"silver_ui.zip: {len(infos)} entries, "
              f"{sum(i.file_size for i in infos)} bytes unpacked, "
              f"{os.path.getsize(os.path.join(OUT, 'silver_ui.zip'))} bytes packed")


if __name__ == "__main__":
    main()
