#!/usr/bin/env python3
# Remakes expected/*.rcd from game/record/two.rcd with plain byte edits, written apart from
# the program so the scenarios compare its output with an independent account of each edit.
# two.rcd came from the fixture tool (2 players, seed 7) with player 1 renamed to "abc"
# (616263), player 2's <Male> written in capitals and player 2's slot 32 removed.
# ../outside/朋友/2025/other.rcd came from the fixture tool (3 players, seed 11).
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = open(os.path.join(HERE, 'game/record/two.rcd'), 'rb').read()
SLOTS = [0, 1, 2, 3, 4, 5, 6, 7, 8, 13, 14, 15, 16, 17, 20, 21, 24, 32]


def template(name):
    return open(os.path.join(HERE, '../../../../resources/data/templates/body_%s.txt' % name), 'rb').read()


def blocks(doc):
    starts = [m.end() for m in re.finditer(rb'\t\t\t<PlayerInfo>', doc)]
    return [(s, doc.index(b'\t\t\t</PlayerInfo>', s)) for s in starts]


def edit_player(doc, n, fn):
    s, e = blocks(doc)[n - 1]
    return doc[:s] + fn(doc[s:e]) + doc[e:]


def field(block, tag, value):
    return re.sub(rb'<%s>[^<]*</%s>' % (tag, tag), b'<%s>%s</%s>' % (tag, value, tag), block, count=1)


def slot(block, n, value):
    prefix = b'<BodyPartSlot>%d</BodyPartSlot>\r\n\t\t\t\t\t\t<BodyPartId>' % n
    return re.sub(re.escape(prefix) + rb'\d+<', prefix + value + b'<', block, count=1)


def dress(block, name, male):
    s = block.index(b'<BodyPartInfoId>') + len(b'<BodyPartInfoId>')
    e = block.index(b'</BodyPartInfoId>')
    block = block[:s] + template(name) + block[e:]
    return re.sub(rb'<male>\w*</male>', b'<Male>' + male + b'</Male>', block, flags=re.I)


def body(block):
    return block[block.index(b'<BodyPartInfoId>') + len(b'<BodyPartInfoId>'):block.index(b'</BodyPartInfoId>')]


def dress_as(block, costume):
    s = block.index(b'<BodyPartInfoId>') + len(b'<BodyPartInfoId>')
    return block[:s] + costume + block[block.index(b'</BodyPartInfoId>'):]


def player(doc, n):
    s, e = blocks(doc)[n - 1]
    return doc[s:e]


def write(name, doc):
    open(os.path.join(HERE, 'expected', name), 'wb').write(doc)


write('unchanged.rcd', SOURCE)

doc = edit_player(SOURCE, 2, lambda b: field(b, b'NameDataBuf', b'616263'))
doc = edit_player(doc, 1, lambda b: field(b, b'NameDataBuf', b'D0C7C2C941'))  # 星律A in GBK
write('nickname.rcd', doc)

doc = edit_player(SOURCE, 2, lambda b: dress(b, 'male', b'true'))
doc = edit_player(doc, 1, lambda b: dress(field(field(field(b, b'cur_title_id', b'8888'), b'honour_dancer_star_id', b'6'),
                                               b'PurpleLevel', b'9'), 'female', b'false'))
write('gender.rcd', doc)

doc = edit_player(SOURCE, 1, lambda b: slot(slot(slot(b, 5, b'601403601'), 8, b'7'), 2, b'602403501'))
write('slots.rcd', doc)

# Player 1's codes 1 and 3 typed; the boxes left empty keep the player's other codes.
def avatar(block):
    data = re.search(rb'<AvatarData>([^<]*)</AvatarData>', block).group(1)
    data = data[:8] + b'D1B0D823' + data[16:40] + b'88F4F505' + data[48:]
    return field(block, b'AvatarData', data)


doc = edit_player(SOURCE, 1, avatar)
write('avatar.rcd', doc)

# Player 1's costume copied onto player 2, and into player 3 of another replay.
first = body(player(SOURCE, 1))
write('costume.rcd', edit_player(SOURCE, 2, lambda b: dress_as(b, first)))
OTHER = open(os.path.join(HERE, '../outside/朋友/2025/other.rcd'), 'rb').read()
write('other_costume.rcd', edit_player(OTHER, 3, lambda b: dress_as(b, first)))
write('other_shoes.rcd', edit_player(OTHER, 1, lambda b: slot(b, 8, b'7')))

# Outfit codes. Player 1's code as "复制此人服饰" puts it on the clipboard, pasted into player 2
# of the other replay: the code of the program's own copy, so the copy goes in as it stood.
# Then a code with blanks and line breaks, as a chat program passes it on, pasted into
# player 3: laid out here from its text alone, as the gender templates are.
PAIR = b'\t\t\t\t\t<BodyPartInfoPair>\r\n\t\t\t\t\t\t<BodyPartSlot>%s</BodyPartSlot>\r\n' \
       b'\t\t\t\t\t\t<BodyPartId>%s</BodyPartId>\r\n\t\t\t\t\t</BodyPartInfoPair>'
MARK = '星律服饰码'


def code_of(block):
    pairs = re.findall(rb'<BodyPartSlot>([^<]*)</BodyPartSlot>\s*<BodyPartId>([^<]*)</BodyPartId>', body(block))
    return MARK + ' ' + ','.join('%s:%s' % (s.decode(), i.decode()) for s, i in pairs)


def laid_out(code):
    bare = ''.join(ch for ch in code if ch not in ' \t\r\n\u3000')
    assert bare.startswith(MARK)
    pairs = [p.split(':') for p in bare[len(MARK):].split(',')]
    return b'\r\n'.join(PAIR % (s.encode(), i.encode()) for s, i in pairs)


CODE = code_of(player(SOURCE, 1))
assert CODE == ('星律服饰码 0:593809483,1:117225652,2:307062920,3:380784452,4:678076566,5:0,6:180038503,'
                '7:931894295,8:324286606,13:0,14:0,15:613682310,16:0,17:0,20:0,21:0,24:611951058,32:0'), CODE
doc = edit_player(OTHER, 2, lambda b: dress_as(b, first))
write('other_code.rcd', doc)
BLANKS = '  星律服饰码\r\n0:110000000 , 1:611403601,\r\n2 : 112003001\u3000,8:7,\t32:-5 '
write('other_code_blanks.rcd', edit_player(doc, 3, lambda b: dress_as(b, laid_out(BLANKS))))
