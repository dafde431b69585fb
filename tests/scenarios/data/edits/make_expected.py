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
