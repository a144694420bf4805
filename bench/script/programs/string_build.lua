-- Lua strings are immutable: s = s .. "ab" copies the whole text each time (quadratic), so the
-- twin builds the text the way Lua programs do, in a buffer joined once.
local parts = {}
for i = 1, 2000000 do parts[i] = "ab" end
local s = table.concat(parts)
print(s:sub(4000000, 4000000))
print(#s)
