s = 0
for i in range(40000000):
    s = s + i * 2 % 7
print(s)
