#!/usr/bin/env python3
# Makes the expected files of the scene, player-count and group scenarios from the input
# replay, by plain byte edits written apart from the program, so the scenarios compare the
# program's output with an independent result. The input was generated once with
#   replay_fixture --players 2 --seed 2 --out record/双人舞.rcd
# The outputs are committed.
import os
import re
base=os.path.dirname(os.path.abspath(__file__))+'/'
src=open(base+'record/双人舞.rcd','rb').read()
exp=base+'expected/'
def w(name,data): open(exp+name,'wb').write(data)
w('original.rcd',src)  # the backup a first save keeps
d=src.replace(b'<StageName>PVEdesert</StageName>',b'<StageName>ruin</StageName>').replace(b'<Watching>true</Watching>',b'<Watching>false</Watching>')
assert d!=src; w('stage_ruin_watching_false.rcd',d)
po=b'\t\t\t<PlayerInfo>'; pc=b'\t\t\t</PlayerInfo>'
i=src.index(po); j=src.index(pc,i)
unit=src[i:j+len(pc)]+b'\r\n'
lo=b'\t\t<PlayerList>'; lc=b'\t\t</PlayerList>'
a=src.index(lo)+len(lo); b=src.index(lc)
d=src[:a]+b'\r\n'+unit*3+src[b:]
d=d.replace(b'<PlayerCount>2</PlayerCount>',b'<PlayerCount>3</PlayerCount>')
for tag,first in ((b'PlayerId',1),(b'pst',1),(b'petid',11)):
    n=[first]
    def rep(m):
        v=n[0]; n[0]+=1
        return b'<'+tag+b'>'+str(v).encode()+b'</'+tag+b'>'
    d=re.sub(b'<'+tag+b'>[0-9]*</'+tag+b'>',rep,d)
w('player_count_3.rcd',d)
blocks=[m.start() for m in re.finditer(re.escape(po),src)]
second=blocks[1]; end=src.index(pc,second); blk=src[second:end]
blk2=re.sub(rb'<GuildNameDataBuf>[0-9A-F]*</GuildNameDataBuf>',b'<GuildNameDataBuf></GuildNameDataBuf>',blk)
blk2=re.sub(rb'<ColorType>[0-9]*</ColorType>',b'<ColorType>15</ColorType>',blk2)
w('group_empty_name_colour_15.rcd',src[:second]+blk2+src[end:])
first=blocks[0]; end=src.index(pc,first); blk=src[first:end]
blk2=re.sub(rb'<GuildNameDataBuf>[0-9A-F]*</GuildNameDataBuf>',b'<GuildNameDataBuf>616263</GuildNameDataBuf>',blk)
w('save_twice_first.rcd',src[:first]+blk2+src[end:])
blk3=re.sub(rb'<GuildLevel>[0-9]*</GuildLevel>',b'<GuildLevel>20</GuildLevel>',blk2)
w('save_twice_second.rcd',src[:first]+blk3+src[end:])
# Three players with the stage "ruin" chosen while they were split, then the third one's
# group name "abc" and level 20: the player-count result above with the stage replaced and
# only the third block's two fields changed.
d=open(exp+'player_count_3.rcd','rb').read().replace(b'<StageName>PVEdesert</StageName>',b'<StageName>ruin</StageName>')
third=[m.start() for m in re.finditer(re.escape(po),d)][2]; end=d.index(pc,third); blk=d[third:end]
blk2=re.sub(rb'<GuildNameDataBuf>[0-9A-F]*</GuildNameDataBuf>',b'<GuildNameDataBuf>616263</GuildNameDataBuf>',blk)
blk2=re.sub(rb'<GuildLevel>[0-9]*</GuildLevel>',b'<GuildLevel>20</GuildLevel>',blk2)
assert blk2.count(b'616263')==1 and blk2.count(b'<GuildLevel>20</GuildLevel>')==1 and blk2!=blk
w('split_race.rcd',d[:third]+blk2+d[end:])
# Two identical players: 同款.rcd is the input without the players' own ids (PlayerId, pst,
# petid), so the player count's copies of the first player are identical blocks. Count 2,
# the stage "ruin" (shorter than "PVEdesert": both blocks move), then the second player's
# group name "abc": each block once, only the second one changed.
same=re.sub(rb'\t\t\t\t<(PlayerId|pst|petid)>[0-9]*</\1>\r\n',b'',src)
assert same.count(b'<PlayerId>')==0 and same.count(b'<pst>')==0 and same.count(b'<petid>')==0
open(base+'record/同款.rcd','wb').write(same)
i=same.index(po); j=same.index(pc,i)
unit=same[i:j+len(pc)]+b'\r\n'
a=same.index(lo)+len(lo); b=same.index(lc)
d=same[:a]+b'\r\n'+unit*2+same[b:]
d=d.replace(b'<StageName>PVEdesert</StageName>',b'<StageName>ruin</StageName>')
second=[m.start() for m in re.finditer(re.escape(po),d)][1]; end=d.index(pc,second); blk=d[second:end]
blk2=re.sub(rb'<GuildNameDataBuf>[0-9A-F]*</GuildNameDataBuf>',b'<GuildNameDataBuf>616263</GuildNameDataBuf>',blk)
assert blk2!=blk and d.count(unit)==2
w('identical_second_group_abc.rcd',d[:second]+blk2+d[end:])
# Undo: the stage "ruin" with the first player's shoes (slot 8) 123456789, as saved after
# a player count was undone; then the stage alone, as saved after the shoes were undone.
d=src.replace(b'<StageName>PVEdesert</StageName>',b'<StageName>ruin</StageName>')
assert d!=src; w('stage_ruin.rcd',d)
first=d.index(po); end=d.index(pc,first); blk=d[first:end]
blk2=re.sub(rb'(<BodyPartSlot>8</BodyPartSlot>\r\n\t+<BodyPartId>)[-0-9]*(</BodyPartId>)',rb'\g<1>123456789\g<2>',blk)
assert blk2.count(b'123456789')==1
w('stage_ruin_shoes.rcd',d[:first]+blk2+d[end:])
