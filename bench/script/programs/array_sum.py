a = [0] * 3000000
for i in range(3000000):
    a[i] = i
s = 0
for j in range(3000000):
    s = (s + a[j]) % 1000003
print(s)
