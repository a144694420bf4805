a = [0] * 100000
for i in range(100000):
    a[i] = i
s = 0
for j in range(100000):
    s = (s + a[j]) % 1000003
print(s)
