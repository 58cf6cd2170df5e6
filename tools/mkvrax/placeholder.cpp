// replaced
