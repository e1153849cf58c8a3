// The package holds the launcher and the dependency in lib/, takes the project's version,
// and is installed with the project.
def msi = new File(basedir, 'target/package-msi-1.0.msi')
assert msi.isFile()
def files = ['msiinfo', 'export', msi.path, 'File'].execute().text
assert files.contains('package-msi-1.0.exe')
assert files.contains('greeting-1.0.jar')
def properties = ['msiinfo', 'export', msi.path, 'Property'].execute().text
assert properties.contains('ProductVersion\t1.0')
def installed = new File(localRepositoryPath, 'org/example/package-msi/1.0/package-msi-1.0.msi')
assert installed.bytes == msi.bytes
