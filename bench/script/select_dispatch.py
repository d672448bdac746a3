# Dispatch on a computed value: an if/elif chain, as Python writes SELECT CASE.
def main():
    a = b = c = d = 0
    for i in range(1, 10000001):
        k = i % 8
        if k == 0:
            a = a + 1
        elif k == 1 or k == 5:
            b = b + 2
        elif k == 2:
            c = c + 3
        elif k == 3:
            d = d + 4
        elif k == 4:
            a = a - 1
        elif k == 6:
            b = b - 1
        elif k == 7:
            c = c - 2
    print(a, b, c, d)

main()
