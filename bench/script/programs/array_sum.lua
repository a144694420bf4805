local a = {}
for i = 0, 2999999 do a[i] = i end
local s = 0
for j = 0, 2999999 do s = (s + a[j]) % 1000003 end
print(s)
