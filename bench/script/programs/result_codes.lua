-- A switch over modem result codes (0 OK, 1 CONNECT, 2 RING, 3 NO CARRIER, 4 ERROR,
-- 6 NO DIALTONE, 7 BUSY, 8 NO ANSWER), counted over a long pseudo-random stream of codes.
local ok, connect, ring, noCarrier, err, other = 0, 0, 0, 0, 0, 0
local seed = 12345
for i = 0, 5999999 do
  seed = (seed * 1103 + 12345) % 65536
  local code = seed % 9
  if code == 0 then ok = ok + 1
  elseif code == 1 then connect = connect + 1
  elseif code == 2 then ring = ring + 1
  elseif code == 3 then noCarrier = noCarrier + 1
  elseif code == 4 then err = err + 1
  elseif code == 6 or code == 7 or code == 8 then other = other + 1
  end
end
print(ok)
print(connect)
print(ring)
print(noCarrier)
print(err)
print(other)
