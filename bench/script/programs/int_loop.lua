local s = 0
for i = 0, 39999999 do s = s + i * 2 % 7 end
print(s)
