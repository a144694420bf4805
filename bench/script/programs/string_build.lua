local s = ""
for i = 1, 100000 do s = s .. "ab" end
print(s:sub(200000, 200000))
