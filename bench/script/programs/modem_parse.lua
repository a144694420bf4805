-- A modem's answers at scale: 100 000 response lines built as a modem would send them
-- ("+CSQ: 17,3", "+CREG: 0,1", "OK"), then parsed back with find, sub and tonumber.
local rounds = 8
local sum = 0
local lines = 0
for r = 0, rounds - 1 do
  for i = 0, 99999 do
    local k = i % 3
    local line
    if k == 0 then line = "+CSQ: " .. tostring(i % 32) .. "," .. tostring(i % 8)
    elseif k == 1 then line = "+CREG: " .. tostring(i % 2) .. "," .. tostring(i % 6)
    else line = "OK" end
    local colon = string.find(line, ":", 1, true)
    if colon then
      local comma = string.find(line, ",", 1, true)
      sum = sum + tonumber(string.sub(line, colon + 2, comma - 1)) * 10 +
            tonumber(string.sub(line, comma + 1))
    end
    lines = lines + 1
  end
end
print(sum)
print(lines)
