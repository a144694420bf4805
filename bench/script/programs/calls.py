def add(a, b):
    return a + b
s = 0
for i in range(15000000):
    s = add(s, 1)
print(s)
